// Any bytes as an options file: reading either succeeds or raises one of its two failure
// kinds; what was read writes back to a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/exceptions.h"
#include "base/text.h"
#include "settings/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TOptionsFileData options;
    try {
        options = ParseOptionsFile(bytes);
    } catch (const EStringListError&) {
        return 0;
    } catch (const EConvertError&) {
        return 0;
    }
    const std::string wait = NormalizeWaitText(options.WaitText.value_or("10"));
    const auto value = ParseInteger(wait);
    if (!value || *value < 0 || *value > 32000 || NormalizeWaitText(wait) != wait) abort();
    const TOptionsFileData again =
        ParseOptionsFile(FormatOptionsFile({options.StayInTray, options.DefaultWallpaper, wait}));
    if (again.StayInTray != options.StayInTray || again.WaitText != wait) abort();
    if (options.DefaultWallpaper.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos &&
        again.DefaultWallpaper != options.DefaultWallpaper)
        abort();
    return 0;
}
