#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QIODevice;

namespace kelbo::guide {

// A forward-only walk over an XML document with libxml2's streaming
// reader: only the element being read is held in memory, whatever the size
// of the document. Elements are taken one level at a time:
//
//   const int depth = xml.depth();            // at an element's start
//   while (xml.nextChild(depth)) { ... xml.name() ... xml.text(100) or xml.skip() ... }
//
// External entities and the network are never used; a document that is
// not well-formed fails with the line of the fault.
class XmlStream {
public:
    // A file, gzip-compressed or not (told by its first bytes, whatever its
    // name), decompressed as it is read. Null, with the reason, when the
    // file cannot be opened.
    static std::unique_ptr<XmlStream> openFile(const std::string& path, std::string& why);
    // The device's bytes as they come; the device must outlive the stream.
    static std::unique_ptr<XmlStream> openDevice(QIODevice& device);

    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Moves to the root element; false when the document has none.
    bool root();
    // Moves to the next child element of the element at `parentDepth`
    // whose start or last child has just been read; false at its end.
    bool nextChild(int parentDepth);
    // At an element's start: its own text (child elements left out),
    // trimmed and cut to at most `maxBytes` without splitting a UTF-8
    // character; the element has then been read. The view holds until the
    // next call.
    std::string_view text(size_t maxBytes);
    // At an element's start: passes over it and all it holds.
    void skip();
    // Reads what is left of the document, so that a fault anywhere in it
    // is found.
    void finish();

    std::string_view name() const;  // of the current element, without prefix
    int depth() const;
    // Each attribute of the current element, by name without prefix.
    void attributes(const std::function<void(std::string_view name, std::string_view value)>& each) const;

    bool failed() const { return !error_.empty(); }
    // "line N: what is wrong"
    const std::string& error() const { return error_; }

    struct Input;  // where the bytes come from

private:
    friend struct XmlStreamErrors;
    XmlStream(std::unique_ptr<Input> input);
    int read();
    void fail(long line, std::string_view message);

    void* reader_;  // xmlTextReaderPtr
    std::unique_ptr<Input> input_;
    bool pending_ = false;  // the current node has not been looked at yet
    std::string text_;      // the last text(), its room kept from one to the next
    std::string error_;
};

}  // namespace kelbo::guide
