#include "core/document/bounded_json.h"

#include "core/document/design_document.h"
#include "core/formats/crt.h"

#include <string>
#include <vector>

namespace taplore::document {

namespace {

// The parser quotes the token it stopped in, which may be a string of megabytes: cut, at the
// start of a UTF-8 character, to what a message line shows.
std::string Shortened(std::string message) {
    constexpr std::size_t kLongest = 200;
    if (message.size() <= kLongest)
        return message;
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80)
        --cut;
    return message.substr(0, cut) + "…";
}

// nlohmann-json's SAX events, each value placed in the tree as it arrives.
class BoundedBuilder {
public:
    bool null() { return Add(nullptr) != nullptr; }
    bool boolean(bool value) { return Add(value) != nullptr; }
    bool number_integer(Json::number_integer_t value) { return Add(value) != nullptr; }
    bool number_unsigned(Json::number_unsigned_t value) { return Add(value) != nullptr; }
    // The parser has checked the grammar (a subset of Atof's) and refused an overflow.
    bool number_float(Json::number_float_t, const std::string& text) {
        return Add(crt::Atof(text)) != nullptr;
    }
    bool string(std::string& value) { return Add(std::move(value)) != nullptr; }
    bool binary(Json::binary_t&) { return Fail("binary data, which JSON text never holds"); }
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool key(std::string& name) {
        if (m_open.back()->contains(name))
            return Fail("the member \"" + name + "\" is given twice");
        m_key = std::move(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ...", from "line";
        // an overflow has no place: "[json.exception.out_of_range.406] number overflow ...".
        const std::string what = error.what();
        const std::size_t line = what.find("line ");
        return Fail(Shortened(what.substr(line != std::string::npos ? line : what.find("] ") + 2)));
    }

    Json& Root() { return m_root; }
    const std::string& Error() const { return m_error; }

private:
    bool Fail(std::string why) {
        m_error = std::move(why);
        return false;
    }

    // The value placed where the open array or object takes it; null once a bound is passed.
    Json* Add(Json value) {
        if (++m_values > kMaxDocumentValues) {
            Fail("more than " + std::to_string(kMaxDocumentValues) + " values");
            return nullptr;
        }
        if (m_open.empty())
            return &(m_root = std::move(value));
        Json& into = *m_open.back();
        if (into.is_object())
            return &(into[m_key] = std::move(value));
        if (&into == m_bands && into.size() >= std::size_t(kMaxDocumentBands)) {
            Fail("bands: more than " + std::to_string(kMaxDocumentBands) + " bands");
            return nullptr;
        }
        into.push_back(std::move(value));
        return &into.back();
    }

    bool Open(Json container) {
        const bool bands = m_open.size() == 1 && m_key == "bands" && container.is_array();
        Json* opened = Add(std::move(container));
        if (!opened)
            return false;
        if (m_open.size() == std::size_t(kMaxDocumentDepth))
            return Fail("values nested more than " + std::to_string(kMaxDocumentDepth) + " deep");
        if (bands)
            m_bands = opened;
        m_open.push_back(opened);
        return true;
    }

    bool Close() {
        m_open.pop_back();
        return true;
    }

    Json m_root;
    std::vector<Json*> m_open; // the arrays and objects not yet closed, innermost last
    Json* m_bands = nullptr;   // the top object's "bands" array, once opened
    std::string m_key;
    int m_values = 0;
    std::string m_error;
};

} // namespace

Json ParseBounded(std::string_view text) {
    BoundedBuilder builder;
    if (!Json::sax_parse(text, &builder))
        throw DocumentError(builder.Error());
    return std::move(builder.Root());
}

} // namespace taplore::document
