#include "bench/contenders.h"

namespace textraster::bench {

int EmForCell(const Language& language) {
    const Text face = FromUtf8(language.family);
    for (int em = kCellHeight; em > 1; --em) {
        uint8_t cell = 0;
        if (GetFontCharacterCellHeight(face.c_str(), em, 0, &cell) == TR_OK && cell <= kCellHeight) return em;
    }
    return kCellHeight;
}

void RegisterContenders([[maybe_unused]] const Language& language) {
#ifdef TEXTRASTER_BENCH_PANGO
    RegisterPango(language);
#endif
#ifdef TEXTRASTER_BENCH_ASS
    RegisterAss(language);
#endif
}

}  // namespace textraster::bench
