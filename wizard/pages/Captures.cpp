// calveno-captures: renders each page of the wizard to PNG files, for the
// documentation. Run it with QT_QPA_PLATFORM=offscreen; the argument is the
// output folder. The pages are shown over example settings and an example
// PC/SC reader list; nothing is written but the pictures.

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <functional>

#include "ChoicePage.h"
#include "ReaderPage.h"
#include "SerialPortPage.h"
#include "SummaryPage.h"
#include "WizardFlow.h"

using namespace calveno;
using namespace calveno::gui;

namespace {

// Answers every message without showing it; no page here asks one.
class SilentPresenter final : public MessagePresenter {
public:
    MessageAnswer present(std::string_view, std::string_view, MessageStyle) override
    {
        return MessageAnswer::Ok;
    }
};

bool save(QWidget& page, const QDir& folder, const char* name)
{
    page.show();
    QCoreApplication::processEvents();
    const QString file = folder.filePath(QLatin1String(name));
    const bool ok = page.grab().save(file, "PNG");
    std::printf("%s%s\n", ok ? "" : "cannot write ", qPrintable(file));
    page.hide();
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: calveno-captures OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 2;
    }

    SilentPresenter presenter;
    SystemFileOperations files;
    FixedPcscReaderSource readers({"Lecteur USB CPS 00 00", "Lecteur USB Ambrel 01 00"});
    WizardContext context{presenter, files, readers, {}};

    WizardSettings settings = defaultWizardSettings();
    bool ok = true;
    {
        ChoicePage page(settings, context, nullptr);
        ok = save(page, folder, "calveno-choix.png") && ok;
    }
    settings.CurrentReader = 1;
    {
        ReaderPage page(settings, context, nullptr);
        ok = save(page, folder, "calveno-lecteur-serie.png") && ok;
    }
    {
        SerialPortPage page(settings, context, nullptr);
        ok = save(page, folder, "calveno-port-serie.png") && ok;
    }
    applyTopologyChoice(settings, kTopologyDeuxPorts);
    settings.reader1.protocol = kProtocolPcsc;
    {
        ReaderPage page(settings, context, nullptr);
        ok = save(page, folder, "calveno-lecteur-pcsc.png") && ok;
    }
    settings.reader1.pcscName = readers.names[1];
    settings.reader2.pcscName = readers.names[0];
    settings.reader2.protocol = kProtocolPcsc;
    {
        SummaryPage page(settings, context, nullptr);
        ok = save(page, folder, "calveno-resume.png") && ok;
    }
    return ok ? 0 : 1;
}
