//! @file ipdgen_read_ports.cpp
//! @brief Reads an HDL file (regular files of bounded size only) and hands its text to the
//! port reader of its language.
#include <ipdgen/ipdgen.h>
#include <ipdgen/ipdgen_parsers.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FILE_DESCRIPTOR {
public:
    explicit FILE_DESCRIPTOR(int fd) : m_fd(fd) {}
    ~FILE_DESCRIPTOR()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    FILE_DESCRIPTOR(const FILE_DESCRIPTOR&) = delete;
    FILE_DESCRIPTOR& operator=(const FILE_DESCRIPTOR&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool read_bounded_file(const std::string& path, std::string& text, std::string& error)
{
    // O_NONBLOCK: opening a FIFO without a writer must not hang; it is refused below anyway.
    FILE_DESCRIPTOR file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + " is not a regular file";
        return false;
    }
    const std::string too_large =
        path + " is larger than " + std::to_string(IPDGEN_MAX_FILE_SIZE >> 20) + " MiB";
    if (static_cast<unsigned long long>(info.st_size) > IPDGEN_MAX_FILE_SIZE) {
        error = too_large;
        return false;
    }
    text.clear();
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        // The file may grow while it is read.
        if (text.size() + static_cast<std::size_t>(count) > IPDGEN_MAX_FILE_SIZE) {
            error = too_large;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace

bool ipdgen_read_ports(const std::string& path, FIO_EXTENSION_TYPE type, std::vector<IPDGEN_PORT>& ports,
                       std::string* error)
{
    std::string reason;
    std::string text;
    if (type == FIO_EXT_UNKNOWN) type = fio_get_extension_type(FIO_PATH(path));
    std::vector<IPDGEN_PORT> read;
    bool parsed = false;
    if (type != FIO_EXT_UNKNOWN && !fio_is_hdl_extension_type(type)) {
        reason = path + " is not a Verilog, SystemVerilog or VHDL file";
    } else if (read_bounded_file(path, text, reason)) {
        // Files of unknown kind are read as Verilog, the most common kind of generated file.
        try {
            read = type == FIO_EXT_VHDL ? ipdgen_parse_vhdl_ports(text) : ipdgen_parse_verilog_ports(text);
            parsed = true;
        } catch (const std::exception& failure) {
            reason = path + ": " + failure.what();
        }
    }
    if (!parsed) {
        if (error) *error = reason;
        return false;
    }
    ports.swap(read);
    return true;
}
