#include "util/HomePage.h"

#include "util/Scramble.h"

namespace {

// The address is kept only in double-layer scrambled form.
const char* const HomePageKey = "hsnrj";
const char* const ScrambledHomePage =
    "DC39D254F843D3E724F0024487B99CA37CC50D43DC3DF951F126FF46CE08450C000DE77BD971";

} // namespace

QString HomePageAddress() {
    return UnscrambleWithInnerKey(QString::fromLatin1(ScrambledHomePage),
                                  QString::fromLatin1(HomePageKey));
}
