//! @file ipman_file_backup.h
//! @brief Backups of variation files before a generator rewrites them ("top.v" is kept as
//! "top.BAK.v"), and their restoration when the attempt fails.
#pragma once

#include <string>

//! Backup and restore; never instantiated. Backups are never deleted here.
class IPMAN_FILE_BACKUP {
public:
    IPMAN_FILE_BACKUP() = delete;

    //! Copies the file to its backup beside it, replacing an older backup, and posts the
    //! backup message. False when the file does not exist (backup_path untouched, nothing
    //! posted) or the copy failed (backup_path is set all the same).
    static bool backup_beside(const std::string& file, std::string& backup_path);
    //! The same with the backup placed in directory instead of beside the file.
    static bool backup_into_directory(const std::string& file, const std::string& directory,
                                      std::string& backup_path);
    //! Copies a backup back over the file it was made from and posts the restore message.
    //! False when the backup does not exist, its name carries no ".BAK", or the copy failed.
    static bool restore(const std::string& backup_path);

    //! The full path of the backup file name for file, placed in directory.
    static std::string backup_path_for(const std::string& file, const std::string& directory);
    //! The full path a backup restores to (the ".BAK" the backup inserted, the last one,
    //! removed); empty when the base name has no ".BAK".
    static std::string restored_path_for(const std::string& backup_path);
};
