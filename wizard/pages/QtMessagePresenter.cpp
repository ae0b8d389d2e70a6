#include "QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace calveno::gui {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

}  // namespace

MessageAnswer QtMessagePresenter::present(std::string_view text, std::string_view caption, MessageStyle style)
{
    // Owned by the open page; at start-up, before any page, the box stands alone.
    QMessageBox box(iconOf(style.icon), fromUtf8(caption), fromUtf8(text), buttonsOf(style.buttons),
                    QApplication::activeModalWidget());
    switch (box.exec()) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default:
        // Escape or the close box: the box's refusing answer.
        return style.buttons == MessageButtons::YesNo ? MessageAnswer::No
               : style.buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                      : MessageAnswer::Cancel;
    }
}

}  // namespace calveno::gui
