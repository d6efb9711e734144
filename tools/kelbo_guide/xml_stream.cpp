#include "xml_stream.h"

#include "common/text_util.h"

#include <QIODevice>

#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelbo::guide {

struct XmlStream::Input {
    virtual ~Input() = default;
    // Up to `size` bytes into `buffer`: how many, 0 at the end, -1 on a
    // fault (with `why` set).
    virtual int read(char* buffer, int size) = 0;
    std::string why;
    size_t bytes = 0;  // read so far
};

namespace {

// gzread passes a file that is not compressed through as it is, so one
// reader serves both.
class GzipFile : public XmlStream::Input {
public:
    explicit GzipFile(gzFile file) : file_(file) {}
    ~GzipFile() override { gzclose_r(file_); }
    GzipFile(const GzipFile&) = delete;
    GzipFile& operator=(const GzipFile&) = delete;

    int read(char* buffer, int size) override {
        const int n = gzread(file_, buffer, static_cast<unsigned>(size));
        if (n > 0) return n;
        // A compressed file cut short ends without an error of its own.
        int code = Z_OK;
        const char* message = gzerror(file_, &code);
        if (code == Z_OK) return n;
        why = code == Z_ERRNO ? std::strerror(errno)
                              : code == Z_BUF_ERROR ? "the gzip data is cut short" : "gzip: " + std::string(message);
        return -1;
    }

private:
    gzFile file_;
};

class Device : public XmlStream::Input {
public:
    explicit Device(QIODevice& device) : device_(device) {}
    int read(char* buffer, int size) override {
        const qint64 n = device_.read(buffer, size);
        if (n < 0) why = device_.errorString().toStdString();
        return static_cast<int>(n);
    }

private:
    QIODevice& device_;
};

int readInput(void* context, char* buffer, int size) {
    auto* input = static_cast<XmlStream::Input*>(context);
    const int n = input->read(buffer, size);
    if (n > 0) input->bytes += static_cast<size_t>(n);
    return n;
}

xmlTextReaderPtr readerOf(void* reader) { return static_cast<xmlTextReaderPtr>(reader); }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmedEnd(std::string_view text) {
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view view(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// libxml2 also reports some faults (a read that fails) through its
// process-wide handler, which would print them: the stream's own error
// says what went wrong.
void ignore(void*, const char*, ...) {}

}  // namespace

struct XmlStreamErrors {
    static void raised(void* stream, xmlErrorPtr error) {
        if (error && error->level >= XML_ERR_ERROR)
            static_cast<XmlStream*>(stream)->fail(error->line, error->message ? error->message : "not well-formed");
    }
};

std::unique_ptr<XmlStream> XmlStream::openFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        why = fd < 0 ? std::strerror(errno) : "it is a folder";
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    const gzFile file = gzdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        why = "out of memory";
        return nullptr;
    }
    gzbuffer(file, 256 * 1024);
    return std::unique_ptr<XmlStream>(new XmlStream(std::make_unique<GzipFile>(file)));
}

std::unique_ptr<XmlStream> XmlStream::openDevice(QIODevice& device) {
    return std::unique_ptr<XmlStream>(new XmlStream(std::make_unique<Device>(device)));
}

XmlStream::XmlStream(std::unique_ptr<Input> input) : reader_(nullptr), input_(std::move(input)) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    xmlSetGenericErrorFunc(nullptr, ignore);
    // Entities are not substituted, so none is ever fetched from outside;
    // nor is anything from the network. Blanks between elements (a
    // listing's indentation, a third of its nodes) are not made into nodes:
    // texts are trimmed, so they would only be read to be thrown away.
    reader_ = xmlReaderForIO(readInput, nullptr, input_.get(), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_COMPACT | XML_PARSE_NOBLANKS);
    if (!reader_) {
        fail(0, "cannot start reading XML");
        return;
    }
    xmlTextReaderSetStructuredErrorHandler(readerOf(reader_), XmlStreamErrors::raised, this);
}

XmlStream::~XmlStream() {
    if (reader_) xmlFreeTextReader(readerOf(reader_));
    xmlSetGenericErrorFunc(nullptr, nullptr);
}

void XmlStream::fail(long line, std::string_view message) {
    if (failed()) return;
    // A read that failed is the cause, whatever libxml2 made of the input
    // ending there.
    if (!input_->why.empty()) message = input_->why;
    else if (input_->bytes == 0) message = "the file is empty";
    error_ = "line " + std::to_string(line) + ": " + std::string(trimmedEnd(message));
    std::replace(error_.begin(), error_.end(), '\n', ' ');
}

int XmlStream::read() {
    if (pending_) {
        pending_ = false;
        return 1;
    }
    if (failed()) return -1;
    const int result = xmlTextReaderRead(readerOf(reader_));
    if (!input_->why.empty()) fail(xmlTextReaderGetParserLineNumber(readerOf(reader_)), input_->why);
    if (result < 0) fail(xmlTextReaderGetParserLineNumber(readerOf(reader_)), "the document cannot be read");
    return failed() ? -1 : result;
}

bool XmlStream::root() {
    while (read() == 1)
        if (xmlTextReaderNodeType(readerOf(reader_)) == XML_READER_TYPE_ELEMENT) return true;
    return false;
}

bool XmlStream::nextChild(int parentDepth) {
    while (read() == 1) {
        const int type = xmlTextReaderNodeType(readerOf(reader_));
        const int at = depth();
        if (at == parentDepth + 1 && type == XML_READER_TYPE_ELEMENT) return true;
        if (at <= parentDepth) {
            // The parent's end, or, when the parent was an empty element,
            // what follows it, which its own parent reads next.
            if (type != XML_READER_TYPE_END_ELEMENT || at != parentDepth) pending_ = true;
            return false;
        }
    }
    return false;
}

std::string_view XmlStream::text(size_t maxBytes) {
    std::string& text = text_;
    text.clear();
    const xmlTextReaderPtr reader = readerOf(reader_);
    if (xmlTextReaderIsEmptyElement(reader)) return text;
    const int own = depth();
    // A few bytes more than kept, so that the cut can tell a whole
    // character from part of one.
    const size_t room = maxBytes + 4;
    while (read() == 1) {
        const int type = xmlTextReaderNodeType(reader);
        const int at = depth();
        if (at <= own) break;  // its end
        if (at != own + 1) continue;
        if (type == XML_READER_TYPE_ELEMENT) {
            skip();
        } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                   type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
            std::string_view value = view(xmlTextReaderConstValue(reader));
            if (text.empty())
                while (!value.empty() && isSpace(value.front())) value.remove_prefix(1);
            text.append(value.substr(0, room - std::min(room, text.size())));
        }
    }
    text.resize(trimmedEnd(utf8Prefix(trimmedEnd(text), maxBytes)).size());
    return text;
}

void XmlStream::skip() {
    if (failed()) return;
    const int result = xmlTextReaderNext(readerOf(reader_));
    if (result < 0) fail(xmlTextReaderGetParserLineNumber(readerOf(reader_)), "the document cannot be read");
    else if (result == 1) pending_ = true;
}

void XmlStream::finish() {
    while (read() == 1) {
    }
}

std::string_view XmlStream::name() const { return view(xmlTextReaderConstLocalName(readerOf(reader_))); }

int XmlStream::depth() const { return xmlTextReaderDepth(readerOf(reader_)); }

void XmlStream::attributes(const std::function<void(std::string_view, std::string_view)>& each) const {
    const xmlTextReaderPtr reader = readerOf(reader_);
    if (xmlTextReaderMoveToFirstAttribute(reader) != 1) return;
    do each(view(xmlTextReaderConstLocalName(reader)), view(xmlTextReaderConstValue(reader)));
    while (xmlTextReaderMoveToNextAttribute(reader) == 1);
    xmlTextReaderMoveToElement(reader);
}

}  // namespace kelbo::guide
