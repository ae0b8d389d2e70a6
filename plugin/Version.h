/* Identification texts of the plug-in, shared by the code and the Windows version
   resource (plain preprocessor definitions, so the resource compiler reads them). */
#ifndef OSTREL_VERSION_H
#define OSTREL_VERSION_H

#define OSTREL_VERSION_TEXT "01.09"
#define OSTREL_VERSION_NUMBERS 1, 9, 0, 0
#define OSTREL_BUILD_DESCRIPTION "PCSC_TUVEX WIN 32 (RELEASE) "
#define OSTREL_LIBRARY_NAME "Ostrel"
#define OSTREL_LIBRARY_NAME_CAPITALS "OSTREL"
#define OSTREL_PROTOCOL_NAME "Protocole PCSC-TUVEX"

#endif
