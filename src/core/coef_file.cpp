#include "core/coef_file.h"

#include "core/crt.h"
#include "core/file_output.h"

namespace {

// Lines are gathered into chunks of this size, so no line costs a heap string of its own.
constexpr std::size_t kChunkBytes = 64 * 1024;

} // namespace

void WriteCoefficientFile(const std::string& path, const double* coef, int count) {
    CStdioFile file(path);
    std::string chunk;
    chunk.reserve(2 * kChunkBytes);
    for (int k = 0; k < count; ++k) {
        crt::AppendF(chunk, coef[k]);
        chunk += '\n';
        if (chunk.size() >= kChunkBytes) {
            file.WriteString(chunk);
            chunk.clear();
        }
    }
    file.WriteString(chunk);
    file.Close();
}
