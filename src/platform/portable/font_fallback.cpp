#include "platform/portable/font_fallback.h"

#include <hb.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <tuple>

#include "platform/portable/emoji_sequences.h"
#include "platform/portable/face_match.h"
#include "platform/portable/font_registry.h"
#include "platform/portable/kept_scratch.h"
#include "platform/portable/unicode_classes.h"

namespace textraster::portable {
namespace {

// Lists kept, for as many faces and styles (eight faces in their four
// styles: more than a host draws in); all made anew when private fonts
// change.
constexpr size_t kKeptLists = 32;
// Code points whose choice a sized font remembers, before it starts afresh:
// more than the distinct characters of a long Chinese or Japanese text
// (some 3,000), at some 40 bytes each (160 KiB a font).
constexpr size_t kRememberedChoices = 4096;

struct ListKey {
    std::string path;
    const FontImage* image;
    long index;
    bool bold;
    bool italic;
    bool operator<(const ListKey& other) const {
        return std::tie(path, image, index, bold, italic) <
               std::tie(other.path, other.image, other.index, other.bold, other.italic);
    }
};

std::mutex listLock;
std::vector<std::pair<ListKey, std::shared_ptr<const FallbackList>>> lists;

bool SameFace(const FaceSource& a, const FaceSource& b) {
    return a.path == b.path && a.image == b.image && a.index == b.index;
}

// The installed faces fontconfig ranks for the family and style, each adding
// characters the ones before it lack (fontconfig trims the rest), TrueType
// and OpenType only, as GDI reads no others.
void AddInstalledFaces(const char* family, bool bold, bool italic, const FaceSource& selected,
                       std::vector<FallbackList::Face>& faces, std::vector<FallbackList::Face>& colourFaces) {
    FcPattern* pattern = StylePattern(bold, italic);
    if (!pattern) return;
    if (family) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
    if (!sorted) return;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcCharSet* charset = nullptr;
        if (!IsSfnt(font) || FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch) continue;
        FallbackList::Face face{SourceOf(font), nullptr, false};
        if (face.source.Empty() || SameFace(face.source, selected)) continue;
        face.coverage = std::make_shared<const CharacterCoverage>(charset);
        FcBool colour = FcFalse;
        face.colour = FcPatternGetBool(font, FC_COLOR, 0, &colour) == FcResultMatch && colour;
        (face.colour ? colourFaces : faces).push_back(std::move(face));
    }
    FcFontSetDestroy(sorted);
}

std::shared_ptr<const FallbackList> MakeList(const SizedFont& font, uint64_t& generation) {
    auto list = std::make_shared<FallbackList>();
    const SizedFontKey& key = font.key;
    // Private faces first, those of the asked style before the others.
    std::vector<RegisteredCoverage> registered = RegisteredFaces(generation);
    std::stable_sort(registered.begin(), registered.end(), [&key](const auto& a, const auto& b) {
        return (a.bold != key.bold) + (a.italic != key.italic) < (b.bold != key.bold) + (b.italic != key.italic);
    });
    for (const RegisteredCoverage& face : registered)
        if (!SameFace(face.source, key.source)) list->faces.push_back({face.source, face.coverage, face.colour});
    std::vector<FallbackList::Face> colourFaces;
    AddInstalledFaces(font.face->family_name, key.bold, key.italic, key.source, list->faces, colourFaces);
    list->faces.insert(list->faces.end(), colourFaces.begin(), colourFaces.end());
    list->generation = generation;
    return list;
}

// Characters that never fall back: the shaper gives spaces it lacks the
// width of a space it has, and hides default-ignorable characters (joiners,
// variation selectors, bidi controls) that no face draws.
bool NeverFallsBack(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return true;  // controls
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR:
        case HB_UNICODE_GENERAL_CATEGORY_LINE_SEPARATOR:
        case HB_UNICODE_GENERAL_CATEGORY_PARAGRAPH_SEPARATOR:
        case HB_UNICODE_GENERAL_CATEGORY_FORMAT: return true;
        default: break;
    }
    return c == 0x034F || (c >= 0x115F && c <= 0x1160) || (c >= 0x17B4 && c <= 0x17B5) ||
           (c >= 0x180B && c <= 0x180F) || c == 0x3164 || c == 0xFFA0 || IsVariationSelector(c);
}

}  // namespace

int FallbackList::Choose(char32_t c, bool emoji) const {
    for (size_t i = 0; emoji && i < faces.size(); ++i)
        if (faces[i].colour && faces[i].coverage->Has(c)) return int(i);
    for (size_t i = 0; i < faces.size(); ++i)
        if (faces[i].coverage->Has(c)) return int(i);
    return -1;
}

bool FallbackList::Covers(int position, char32_t c) const {
    return faces[size_t(position)].coverage->Has(c);
}

std::shared_ptr<const FallbackList> FallbackListFor(const SizedFont& font) {
    const uint64_t now = RegistryGeneration();
    const ListKey key{font.key.source.path, font.key.source.image.get(), font.key.source.index, font.key.bold,
                      font.key.italic};
    std::lock_guard<std::mutex> guard(listLock);
    auto found = std::find_if(lists.begin(), lists.end(),
                              [&key](const auto& entry) { return !(entry.first < key) && !(key < entry.first); });
    if (found != lists.end() && found->second->generation == now) return found->second;
    uint64_t generation = 0;
    std::shared_ptr<const FallbackList> list = MakeList(font, generation);
    if (found != lists.end()) {
        found->second = list;
    } else {
        if (lists.size() >= kKeptLists) lists.erase(lists.begin());
        lists.emplace_back(key, list);
    }
    return list;
}

FallbackFonts::FallbackFonts(std::shared_ptr<SizedFont> selected) {
    fonts_.push_back(std::move(selected));
}

void FallbackFonts::Choose(const FriBidiChar* text, size_t length, std::vector<uint8_t>& fonts) {
    fonts.assign(length, 0);
    SizedFont& selected = Selected();
    std::unique_lock<std::mutex> guard(selected.lock);
    thread_local std::vector<Presentation> presentation;
    const ReleasedIfLong<Presentation> releasePresentation(presentation);
    ResolvePresentation(text, length, presentation);
    // Whether code point x is drawn as the start of an emoji by another face
    // than the selected one.
    auto emoji = [&selected](size_t x) { return !selected.colour && presentation[x] == Presentation::kEmoji; };
    // A character stays in the selected face where it has it, unless it is
    // drawn as an emoji and a colour face may have it.
    auto staysSelected = [&](size_t x) { return NeverFallsBack(text[x]) || (selected.Covers(text[x]) && !emoji(x)); };
    // Most texts are wholly in the selected face: a look at each character.
    size_t first = 0;
    while (first < length && staysSelected(first)) ++first;
    if (first == length) return;

    // Per code point from the first the face lacks: the position of the face
    // that draws it in the fallback list, -1 for the selected face.
    thread_local std::vector<int> positions;
    const ReleasedIfLong<int> releasePositions(positions);
    positions.assign(length, -1);
    // The list is made only when first needed, and kept by this object for
    // its life, so that every text it sets chooses from the same faces.
    if (!list_) {
        if (!selected.fallbacks || selected.fallbacks->generation != RegistryGeneration()) {
            selected.fallbacks = FallbackListFor(selected);
            selected.fallbackChoices.clear();
        }
        list_ = selected.fallbacks;
    }
    const bool remembered = selected.fallbacks == list_;
    if (remembered && selected.fallbackChoices.size() >= kRememberedChoices) selected.fallbackChoices.clear();
    // The position in the list of the face that draws c; -1 for the selected
    // face, which draws an emoji no colour face has where it has it.
    auto choose = [this, &selected](char32_t c, bool asEmoji) {
        const int position = list_->Choose(c, asEmoji);
        const bool colour = position >= 0 && list_->faces[size_t(position)].colour;
        return asEmoji && !colour && selected.Covers(c) ? -1 : position;
    };
    for (size_t x = first; x < length; ++x) {
        if (staysSelected(x)) continue;
        if (!remembered) {
            positions[x] = choose(text[x], emoji(x));
            continue;
        }
        // Code points stay below bit 31, which tells an emoji's choice.
        const char32_t key = text[x] | (emoji(x) ? 0x80000000u : 0);
        auto found = selected.fallbackChoices.find(key);
        if (found == selected.fallbackChoices.end())
            found = selected.fallbackChoices.emplace(key, int16_t(choose(text[x], emoji(x)))).first;
        positions[x] = found->second;
    }
    guard.unlock();

    for (size_t x = first; x < length; ++x) {
        // A mark, or a part of an emoji sequence, stays with the character
        // before it where that face has it. Never with the selected face:
        // a character that left it lacks it (a character it has leaves it
        // only to start an emoji, which clings to nothing).
        const bool clings = ClingsToPrevious(text[x]) || presentation[x] == Presentation::kContinues;
        const int before = x > 0 ? positions[x - 1] : -1;
        if (before >= 0 && positions[x] != before && clings &&
            (list_->Covers(before, text[x]) || NeverFallsBack(text[x])))
            positions[x] = before;
        fonts[x] = positions[x] < 0 ? 0 : IndexOf(positions[x]);
    }
}

uint8_t FallbackFonts::IndexOf(int position) {
    for (size_t i = 0; i < positions_.size(); ++i)
        if (positions_[i] == position) return uint8_t(i + 1);
    if (fonts_.size() == kMaxFonts) return 0;
    // At the selected face's character (em) height, whatever the height
    // asked for: a face with taller line metrics, sized to the same cell,
    // would draw its letters smaller than those around them.
    SizedFontKey key = Selected().key;
    key.source = list_->faces[size_t(position)].source;
    key.height = -Selected().ppem;
    std::shared_ptr<SizedFont> font = FindSizedFont(key);
    // A face that cannot be opened draws nothing: the selected one draws
    // the character's missing-glyph box instead.
    if (!font) return 0;
    fonts_.push_back(std::move(font));
    positions_.push_back(position);
    return uint8_t(fonts_.size() - 1);
}

}  // namespace textraster::portable
