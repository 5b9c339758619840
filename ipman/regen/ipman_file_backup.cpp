//! @file ipman_file_backup.cpp
//! @brief Backup copies with ".BAK" inserted before the extension, and their restoration.
#include "regen/ipman_file_backup.h"

#include <fio/fio.h>

#include <ipman/ipman_constants.h>

#include "report/ipman_messages.h"

namespace {

//! Where the inserted ".BAK" starts in a backup's file name: the last ".BAK" that ends the
//! name or stands right before the extension; npos when there is none.
std::size_t inserted_bak_position(const std::string& filename)
{
    const std::string bak = IPMAN_BAK_STR;
    for (std::size_t at = filename.rfind(bak); at != std::string::npos;
         at = at == 0 ? std::string::npos : filename.rfind(bak, at - 1)) {
        const std::size_t rest = at + bak.size();
        if (rest == filename.size()) return at;
        if (filename[rest] == '.' && filename.find('.', rest + 1) == std::string::npos) return at;
    }
    return std::string::npos;
}

bool copy_to_backup(const std::string& file, const std::string& directory, std::string& backup_path)
{
    if (!FIO_FILE_SYSTEM::exists(file)) return false;
    const std::string source = FIO_PATH(file).fullpath();
    const std::string backup = IPMAN_FILE_BACKUP::backup_path_for(file, directory);
    const bool copied = FIO_FILE_SYSTEM::copy(source, backup, true, false);
    backup_path = backup;
    ipman_post_msg(IPMAN_MSG::IIPMAN_IPRGEN_BACKUP_FILE, {source, backup});
    return copied;
}

}  // namespace

bool IPMAN_FILE_BACKUP::backup_beside(const std::string& file, std::string& backup_path)
{
    return copy_to_backup(file, "", backup_path);
}

bool IPMAN_FILE_BACKUP::backup_into_directory(const std::string& file, const std::string& directory,
                                              std::string& backup_path)
{
    return copy_to_backup(file, directory, backup_path);
}

bool IPMAN_FILE_BACKUP::restore(const std::string& backup_path)
{
    if (!FIO_FILE_SYSTEM::exists(backup_path)) return false;
    const std::string backup = FIO_PATH(backup_path).fullpath();
    const std::string original = restored_path_for(backup);
    if (original.empty()) return false;
    const bool copied = FIO_FILE_SYSTEM::copy(backup, original, true, false);
    ipman_post_msg(IPMAN_MSG::IIPMAN_IPRGEN_RESTORE_FILE, {backup, original});
    return copied;
}

std::string IPMAN_FILE_BACKUP::backup_path_for(const std::string& file, const std::string& directory)
{
    FIO_PATH path(FIO_PATH(file).fullpath());
    path.base(path.base() + IPMAN_BAK_STR);
    if (directory.empty()) return path.fullpath();
    return FIO_PATH(directory, path.filename()).fullpath();
}

std::string IPMAN_FILE_BACKUP::restored_path_for(const std::string& backup_path)
{
    FIO_PATH path(FIO_PATH(backup_path).fullpath());
    std::string filename = path.filename();
    const std::size_t at = inserted_bak_position(filename);
    if (at == std::string::npos) return {};
    filename.erase(at, std::string(IPMAN_BAK_STR).size());
    if (filename.empty()) return {};
    path.filename(filename);
    return path.fullpath();
}
