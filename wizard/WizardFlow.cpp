#include "WizardFlow.h"

namespace calveno {

namespace {

Route open(int page)
{
    return {RouteAction::OpenPage, page, 0};
}

Route routeNext(WizardSettings& settings, int pageId)
{
    switch (pageId) {
    case kPageChoice: settings.CurrentReader = 1; return open(kPageReader);
    case kPageReader:
        if (settings.CurrentReader == 1 && isTwoReaderTopology(settings.Topology)) {
            settings.CurrentReader = 2;
            return open(kPageReader);
        }
        return open(kPageSummary);
    case kPageSerialPort: return open(kPageReader);
    case kPageSummary: return {RouteAction::EndProgram, 0, kExitFinished};
    default: return {};
    }
}

Route routeBack(WizardSettings& settings, int pageId)
{
    switch (pageId) {
    case kPageSerialPort: return open(kPageReader);
    case kPageReader:
        if (settings.CurrentReader == 2) {
            settings.CurrentReader = 1;
            return open(kPageReader);
        }
        return open(kPageChoice);
    case kPageSummary: return open(kPageReader);
    case kPageChoice: return open(kPageChoice);
    default: return {};
    }
}

}  // namespace

Route routeMessage(WizardSettings& settings, int message, int pageId)
{
    switch (message) {
    case WM_WIZARD_NEXT: return routeNext(settings, pageId);
    case WM_WIZARD_BACK: return routeBack(settings, pageId);
    case WM_WIZARD_PORT:
        if (pageId == kPageReader) return open(kPageSerialPort);
        return {};
    case kMessageClose: return {RouteAction::EndProgram, 0, kExitAbandoned};
    default: return {};
    }
}

}  // namespace calveno
