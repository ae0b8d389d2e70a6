#pragma once
// How the hidden main window routes the pages' navigation messages: which
// page opens next, and when the program ends with which exit code. The Qt
// main window only carries out what this table decides.

#include "WizardSettings.h"

namespace calveno {

// Page identities: the dialog template ids, also the first parameter of every
// navigation message.
constexpr int kPageChoice = 1122;
constexpr int kPageReader = 1120;
constexpr int kPageSerialPort = 1118;
constexpr int kPageSummary = 1121;

// The private messages a page posts to the main window, and the standard close
// message a page forwards from its close box.
constexpr int WM_WIZARD_NEXT = 1026;
constexpr int WM_WIZARD_BACK = 1028;
constexpr int WM_WIZARD_PORT = 1037;
constexpr int kMessageClose = 16;

// Exit codes of the program.
constexpr int kExitFinished = 1;    // after "&Terminer", or a second instance
constexpr int kExitAbandoned = -1;  // cancel confirmed, close box, navigation error
constexpr int kExitDeclined = 0;    // refused or failed start-up

// Navigation message with a page id the table does not know.
constexpr int kCodeNavigationError = 11;

enum class RouteAction {
    OpenPage,         // open `page`
    EndProgram,       // end with `exitCode`
    NavigationError,  // show code 11, then end as a close does
};

struct Route {
    RouteAction action = RouteAction::NavigationError;
    int page = 0;
    int exitCode = 0;
    bool operator==(const Route&) const = default;
};

// Routes `message` posted by `pageId`, updating `CurrentReader` where the
// table says so. A close message ends the program whatever its page id.
Route routeMessage(WizardSettings& settings, int message, int pageId);

}  // namespace calveno
