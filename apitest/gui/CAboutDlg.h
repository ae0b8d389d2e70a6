#pragma once
// About box (template 100).

#include <QDialog>

namespace quintor::gui {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace quintor::gui
