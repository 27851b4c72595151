/* The request record as a C host sees it: the header compiled as C99, where
   it checks nothing at compile time (its static assertions need C11). */
#include <stddef.h>

#include "record_fields.h"
#include "textraster.h"

const size_t kRecordLayoutAsSeenFromC[] = TEXTRASTER_RECORD_LAYOUT;
const size_t kRecordLayoutEntries = sizeof kRecordLayoutAsSeenFromC / sizeof kRecordLayoutAsSeenFromC[0];
