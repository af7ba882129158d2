// Feeds arbitrary bytes to the text folding and renders the start of the result at a speed
// taken from the input's first two bytes, then checks what both promise: the folded text
// holds only signs (letters, digits, punctuation, prosign slots), spaces and the
// other-character slot, no more than two slots per input byte, and a plain ASCII input folds
// to its characters in place, a prosign written <AR> to one slot; the renderer keeps both
// channels equal and within full scale and writes as many frames as it reports. Any broken
// promise aborts, which libFuzzer reports.

#include "render/MorseRenderer.h"
#include "render/TextFolder.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Rendered at most, at 60 to 100 words per minute, with Farnsworth spacing down to half the
// speed: a few ten thousand frames, to keep every run short.
constexpr size_t kRenderedSlots = 2;

class CountingSink : public FrameSink {
public:
    bool Write(const StereoFrame* frames, int32_t count) override {
        for (int32_t i = 0; i < count; ++i) {
            if (frames[i].left != frames[i].right || frames[i].left > 1.0f || frames[i].left < -1.0f) {
                std::abort();
            }
        }
        frameCount += count;
        return true;
    }
    int64_t frameCount = 0;
};

bool IsSlot(char c) {
    return TextFolder::SignOfSlot(c) >= 0 || c == TextFolder::kSpace || c == TextFolder::kOther;
}

// What an ASCII text folds to, slot by slot.
std::string FoldAscii(std::string_view input) {
    static constexpr std::string_view kProsigns[] = {"<AR>", "<SK>", "<BT>", "<KN>"};
    std::string out;
    for (size_t i = 0; i < input.size(); ++i) {
        std::string upper(input.substr(i, 4));
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        bool prosign = false;
        for (size_t p = 0; p < std::size(kProsigns); ++p) {
            if (upper == kProsigns[p]) {
                out += static_cast<char>(TextFolder::kFirstProsignSlot + p);
                i += 3;
                prosign = true;
            }
        }
        const auto c = static_cast<unsigned char>(input[i]);
        if (prosign) {
            continue;
        } else if (std::isalnum(c)) {
            out += static_cast<char>(std::toupper(c));
        } else if (std::string_view(".,?/=+").find(static_cast<char>(c)) != std::string_view::npos && c != 0) {
            out += static_cast<char>(c);
        } else if (std::isspace(c)) {
            out += TextFolder::kSpace;
        } else {
            out += TextFolder::kOther;
        }
    }
    return out;
}

void CheckFolding(std::string_view input, const std::string& folded) {
    if (folded.size() > 2 * input.size()) {
        std::abort();
    }
    bool ascii = true;
    for (const char c : input) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    for (const char slot : folded) {
        if (!IsSlot(slot)) {
            std::abort();
        }
    }
    if (ascii && folded != FoldAscii(input)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string folded = TextFolder::Fold(input);
    CheckFolding(input, folded);

    MorseRenderer::Options options;
    options.wpm = 60 + data[0] % 41;
    options.overallWpm = (data[1] & 1) != 0 ? options.wpm / 2 + (data[1] >> 2) % (options.wpm / 2) : 0;
    options.softOnset = (data[1] & 2) != 0;
    MorseRenderer renderer(options);
    CountingSink sink;
    const std::string_view start = std::string_view(folded).substr(0, kRenderedSlots);
    if (!renderer.Render(start, sink) || sink.frameCount != renderer.FramesWritten()) {
        std::abort();
    }
    return 0;
}
