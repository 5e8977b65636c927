#pragma once
// Reading a whole file, for the taps read back: the counterpart of the file writer, with the
// same failure causes.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// The longest text a read takes, and what is that long, for the refusal of a longer one.
struct InputBound;

// The bytes of the file at path, through symbolic links. Throws CFileException with the cause
// of the open or read that failed (badPath for a name that is not UTF-8 on Windows), and
// std::bad_alloc once the text would outgrow the free memory (a device that never ends).
// Also throws InputRefused for a text that cannot hold taps (see AppendInput), or one longer
// than bound (the taps' own unless given).
std::string ReadWholeFile(const std::string& path);
std::string ReadWholeFile(const std::string& path, const InputBound& bound);

// The bytes of the process's standard input to its end, with the same failures, the cause of a
// failed read (a closed descriptor, a folder) named for "standard input".
std::string ReadStandardInput();

// A text read that is refused before its end, with the reason: "holds a NUL byte ...".
class InputRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest text read: that of the longest design the program makes (the dialog's largest
// order, 2147483647 taps), at the kMaxBytesPerTap a tap takes in the longest of Taplore's
// formats (JSON's full precision with its indent: "    -2.2250738585072014e-308,\n").
constexpr std::int64_t kMaxInputTaps = 2'147'483'647;
constexpr std::int64_t kMaxBytesPerTap = 32;
constexpr std::int64_t kMaxInputBytes = kMaxInputTaps * kMaxBytesPerTap;

struct InputBound {
    std::int64_t bytes = kMaxInputBytes;
    const char* what = "the text of the longest design (2147483647 taps)";
};

// AppendWithinMemory for a text read: refuses a NUL byte, which no text of taps holds (a device
// such as /dev/zero, a binary file), and a text beyond the bound, as soon as they arrive.
void AppendInput(std::string& text, const char* bytes, std::size_t count,
                 const InputBound& bound = {});

// Appends count bytes to text, checking the free memory each time the text must grow.
void AppendWithinMemory(std::string& text, const char* bytes, std::size_t count);
