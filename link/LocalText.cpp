#include "link/LocalText.h"

#include <climits>
#include <cwchar>

namespace valdrin {

std::string toLocal8Bit(const std::u16string& text)
{
    std::string out;
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        const std::size_t n = std::wcrtomb(bytes, static_cast<wchar_t>(cp), &state);
        if (n == static_cast<std::size_t>(-1)) {
            out += '?';
            state = std::mbstate_t{};
        } else {
            out.append(bytes, n);
        }
    }
    return out;
}

} // namespace valdrin
