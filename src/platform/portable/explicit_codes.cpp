#include "platform/portable/explicit_codes.h"

#include <algorithm>

namespace textraster::portable {
namespace {

// The deepest level an explicit code may open (the algorithm's max_depth).
constexpr int kDeepest = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL;

// Each code that opens a level raises it by one or two, from at most 1: this
// many of them, however nested, stay within the deepest level.
constexpr size_t kOpenersWithinDepth = (kDeepest - 1) / 2;

// RLE, LRE, RLO, LRO, RLI, LRI, FSI.
bool Opens(FriBidiCharType type) {
    return (FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type)) && type != FRIBIDI_TYPE_PDF &&
           type != FRIBIDI_TYPE_PDI;
}

// The least level above `level` of the direction asked for.
int Raised(int level, bool rightToLeft) {
    return rightToLeft ? (level + 1) | 1 : (level + 2) & ~1;
}

// Each FSI becomes an RLI or LRI by the first strong letter between it and
// its matching PDI, letters inside isolates nested in it not counting (an
// LRI without one), as the algorithm directs.
void SettleFirstStrongIsolates(FriBidiCharType* types, size_t length) {
    struct Open {
        size_t at;
        bool settled;  // an RLI or LRI, or an FSI whose letter was found
    };
    std::vector<Open> open;  // isolates whose PDI has not come yet, innermost last
    for (size_t x = 0; x < length; ++x) {
        const FriBidiCharType type = types[x];
        if (type == FRIBIDI_TYPE_FSI) {
            types[x] = FRIBIDI_TYPE_LRI;
            open.push_back({x, false});
        } else if (type == FRIBIDI_TYPE_PDI) {
            if (!open.empty()) open.pop_back();
        } else if (FRIBIDI_IS_ISOLATE(type)) {
            open.push_back({x, true});
        } else if (FRIBIDI_IS_LETTER(type) && !open.empty() && !open.back().settled) {
            open.back().settled = true;
            if (FRIBIDI_IS_RTL(type)) types[open.back().at] = FRIBIDI_TYPE_RLI;
        }
    }
}

// Rules X1-X8 of the algorithm on the levels alone, and what it makes of
// the codes that overflow: an isolate and its PDI stay at the level around
// them and count as neutrals, and at the line's end take the paragraph's
// level as white space does (WS); an embedding, override or PDF is removed
// as the ones within the depth are (BN).
void NeutraliseOverflow(FriBidiCharType* types, size_t length, bool rtlReading) {
    struct Entry {
        int level;
        bool isolate;
    };
    std::vector<Entry> stack;  // at most kDeepest entries
    int level = rtlReading ? 1 : 0;
    int overflowIsolates = 0, overflowEmbeddings = 0, validIsolates = 0;
    for (size_t x = 0; x < length; ++x) {
        const FriBidiCharType type = types[x];
        if (Opens(type)) {
            const bool isolate = FRIBIDI_IS_ISOLATE(type);
            const int raised = Raised(level, FRIBIDI_IS_RTL(type));
            if (raised <= kDeepest && overflowIsolates == 0 && overflowEmbeddings == 0) {
                stack.push_back({level, isolate});
                level = raised;
                validIsolates += isolate;
            } else if (isolate) {
                ++overflowIsolates;
                types[x] = FRIBIDI_TYPE_WS;
            } else {
                if (overflowIsolates == 0) ++overflowEmbeddings;
                types[x] = FRIBIDI_TYPE_BN;
            }
        } else if (type == FRIBIDI_TYPE_PDF) {
            if (overflowIsolates > 0) {
                types[x] = FRIBIDI_TYPE_BN;
            } else if (overflowEmbeddings > 0) {
                --overflowEmbeddings;
                types[x] = FRIBIDI_TYPE_BN;
            } else if (!stack.empty() && !stack.back().isolate) {
                level = stack.back().level;
                stack.pop_back();
            }
        } else if (type == FRIBIDI_TYPE_PDI) {
            if (overflowIsolates > 0) {
                --overflowIsolates;
                types[x] = FRIBIDI_TYPE_WS;
            } else if (validIsolates > 0) {
                overflowEmbeddings = 0;
                while (!stack.back().isolate) stack.pop_back();
                level = stack.back().level;
                stack.pop_back();
                --validIsolates;
            }
        }
    }
}

}  // namespace

bool SafeExplicitCodes(const FriBidiCharType* types, size_t length, bool rtlReading,
                       std::vector<FriBidiCharType>& safe) {
    const size_t openers = size_t(std::count_if(types, types + length, Opens));
    if (openers <= kOpenersWithinDepth && std::find(types, types + length, FRIBIDI_TYPE_FSI) == types + length)
        return false;
    safe.assign(types, types + length);
    SettleFirstStrongIsolates(safe.data(), length);
    if (openers > kOpenersWithinDepth) NeutraliseOverflow(safe.data(), length, rtlReading);
    return true;
}

}  // namespace textraster::portable
