//! @file fio.h
//! @brief File paths, extension classification and file-system helpers. Paths use "/".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

//! A file path split into directory, base name and extension. Operations never touch the
//! file system except become_absolute with an empty base, which reads the current directory.
class FIO_PATH {
public:
    FIO_PATH() = default;
    FIO_PATH(const std::string& path);  // NOLINT: implicit by design
    FIO_PATH(const char* path);         // NOLINT
    FIO_PATH(const std::string& directory, const std::string& filename);

    std::string to_string() const { return fullpath(); }
    operator std::string() const { return fullpath(); }
    bool empty() const { return m_directory.empty() && m_base.empty() && m_extension.empty() && !m_has_dot; }

    std::string fullpath() const;        //!< the whole path
    std::string directory() const;       //!< directory without the trailing separator
    std::string full_directory() const;  //!< directory ending in a separator ("" if none)
    std::string filename() const;        //!< base name and extension
    void filename(const std::string& name);
    std::string base() const;                 //!< file name without directory and extension
    void base(const std::string& base_name);  //!< replaces the base name, keeps the rest
    std::string extension() const;            //!< without the dot, "" if none
    void extension(const std::string& ext);

    bool relative() const;  //!< true when the path is not absolute
    bool is_absolute() const { return !relative(); }
    //! Removes "." and ".." parts and repeated separators; returns *this. ".." above the
    //! root stays at the root; a relative path keeps its leading "..", and one that
    //! cancels out entirely becomes ".". A trailing separator is kept.
    FIO_PATH& flatten();
    //! Makes a relative path absolute against base_dir (the current directory when empty)
    //! and flattens it; returns *this. An empty path stays empty.
    FIO_PATH& become_absolute(const std::string& base_dir = "");
    //! This path expressed relative to the directory dir (both made absolute first).
    //! A path ending in a separator keeps it ("/p/sys/" from "/p" is "sys/"); the
    //! directory itself is "." (or "./").
    std::string get_relative_to(const std::string& dir) const;

    static char default_path_separator() { return '/'; }
    //! Whether the text is an absolute path without empty, "." or ".." parts (a trailing
    //! separator aside): become_absolute() would give it back unchanged.
    static bool is_absolute_and_flat(std::string_view path);

    bool operator==(const FIO_PATH& other) const { return fullpath() == other.fullpath(); }
    bool operator!=(const FIO_PATH& other) const { return !(*this == other); }

private:
    void set(const std::string& path);
    std::string m_directory;  //!< without trailing separator, except for the root "/"
    std::string m_base;
    std::string m_extension;  //!< without the dot
    bool m_has_dot = false;   //!< "name." keeps its dot
};

//! Extension types; the numbers of the IP list, system and gwip types are fixed.
enum FIO_EXTENSION_TYPE {
    FIO_EXT_UNKNOWN = 0,
    FIO_EXT_VERILOG = 1,        //!< .v .vo .vt
    FIO_EXT_VHDL = 2,           //!< .vhd .vhdl .vho
    FIO_EXT_SYSTEMVERILOG = 3,  //!< .sv
    FIO_EXT_VPF = 4,            //!< project file
    FIO_EXT_VSF = 5,            //!< settings file
    FIO_EXT_TCL = 6,
    FIO_EXT_VIP = 47,      //!< IP list file
    FIO_EXT_TESSEL = 212,  //!< system file
    FIO_EXT_GWIP = 246,    //!< platform-builder IP file
};

//! Classifies a path by its extension (case-insensitive).
FIO_EXTENSION_TYPE fio_get_extension_type(const FIO_PATH& path);
//! The same classification of a path given as text, without splitting it into a FIO_PATH.
FIO_EXTENSION_TYPE fio_get_extension_type_of_text(std::string_view path);
//! The file type of a path; files are typed by their extension, so this equals
//! fio_get_extension_type.
FIO_EXTENSION_TYPE fio_get_file_type(const FIO_PATH& path);
//! True for the HDL source types (Verilog, VHDL, SystemVerilog).
bool fio_is_hdl_extension_type(FIO_EXTENSION_TYPE type);

//! File-system helpers. Failures are answered by return values, never by exceptions.
class FIO_FILE_SYSTEM {
public:
    static bool exists(const FIO_PATH& path);
    static bool is_directory(const FIO_PATH& path);
    static bool is_writable(const FIO_PATH& path);
    //! Copies a file; an existing target is replaced only when overwrite is set.
    //! keep_times also copies the modification time.
    static bool copy(const FIO_PATH& from, const FIO_PATH& to, bool overwrite, bool keep_times);
    static bool remove_if_exists(const FIO_PATH& path);
    static bool make_directories(const FIO_PATH& directory);
    static FILE* fopen(const FIO_PATH& path, const char* mode);
    //! Largest file read_file accepts when the caller names no bound of its own.
    static constexpr std::size_t DEFAULT_READ_LIMIT = std::size_t{256} << 20;
    //! Reads a whole regular file of at most max_size bytes into content. Anything else (a
    //! missing file, a directory, a FIFO, a device, a larger file, a read error) answers false
    //! and leaves content as it was; problem, when given, then says why in words that follow
    //! the file name ("is not a regular file").
    static bool read_file(const FIO_PATH& path, std::string& content,
                          std::size_t max_size = DEFAULT_READ_LIMIT, std::string* problem = nullptr);
    //! Writes through a temporary file in the same directory, fsync and rename, so a crash
    //! leaves the old or the new file, never a torn one.
    static bool write_file_atomically(const FIO_PATH& path, const std::string& content);
    static std::string current_directory();
};
