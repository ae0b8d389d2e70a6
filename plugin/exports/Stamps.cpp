// Stamp lines kept in the library's data, where a look at the file shows what was
// built and when.

#include "Version.h"

#if defined(_MSC_VER)
#define OSTREL_STAMP extern const
#else
#define OSTREL_STAMP [[gnu::used]] static const
#endif

OSTREL_STAMP char kStampComments[] = "##[Comments    " OSTREL_BUILD_DESCRIPTION __DATE__ " " __TIME__;
OSTREL_STAMP char kStampProductVersion[] = "##[ProductVersion  " OSTREL_VERSION_TEXT;
OSTREL_STAMP char kStampProductName[] = "##[ProductName " OSTREL_LIBRARY_NAME_CAPITALS;
