// The design document's reader on any bytes: it either refuses the text with its message or
// gives a document that passes the checks, whose text reads back as itself.
#include "core/document/design_document.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const taplore::DesignDocument document = taplore::ReadDocument(text);
        if (taplore::CheckDocument(document))
            std::abort();
        const std::string written = taplore::WriteDocument(document);
        if (taplore::WriteDocument(taplore::ReadDocument(written)) != written)
            std::abort();
    } catch (const taplore::DocumentError&) {
    }
    return 0;
}
