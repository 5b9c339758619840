//! @file proc.h
//! @brief The suite's process library: starts a program from a command string without a
//! shell, hands its output back through a pipe and reports how it ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct THR_PROCESS;  //!< a started child process
struct THR_PIPE;     //!< the read end of a child's standard output and/or error

//! Splits a command string into words at blanks (spaces and tabs). Double quotes group
//! blanks into a word and are removed, also in the middle of a word (--batch="a b" gives
//! --batch=a b); "" makes an empty word. Inside double quotes a backslash followed by a
//! double quote or a backslash stands for that character; every other backslash is
//! itself. Nothing else is interpreted: no variables, globbing or command separators, so
//! no quoting can run anything.
std::vector<std::string> thr_split_command_line(const std::string& command);
//! The word in double quotes, escaped so that thr_split_command_line gives it back as
//! exactly one word, whatever it contains.
std::string thr_quote_word(const std::string& word);
//! The word as it is when it splits to itself, else quoted (thr_quote_word).
std::string thr_command_word(const std::string& word);

//! Starts the command: its first word is the program (a word without "/" is looked up in
//! PATH; a relative path is taken from the caller's current directory), the other words
//! are its arguments. working_directory is where the child starts, empty = the caller's.
//! out_pipe / err_pipe receive the read end of the child's standard output / error; when
//! both point at the same variable the two streams share one pipe, and a null pointer lets
//! the child inherit the stream. Standard input is /dev/null; no other descriptor of the
//! caller reaches the child. The two reserved arguments are ignored.
//! Answers null (and sets errno) when the program or the directory cannot be used: a
//! missing program never yields a child that merely prints an error.
THR_PROCESS* thr_process_create(const std::string& command, const std::string& working_directory,
                                THR_PIPE** out_pipe, THR_PIPE** err_pipe, void* reserved1 = nullptr,
                                void* reserved2 = nullptr);
//! The same with the words already split (program first).
THR_PROCESS* thr_process_create_words(const std::vector<std::string>& words,
                                      const std::string& working_directory, THR_PIPE** out_pipe,
                                      THR_PIPE** err_pipe);

//! Reads what the child wrote so far, blocking until something arrives. Answers 0 with
//! count = bytes read (0..size); non-zero once the pipe is at its end or fails.
int thr_process_read(THR_PIPE* pipe, char* buffer, std::size_t size, std::size_t* count);

//! thr_process_read with a time limit: answers 2, with count 0, when nothing arrived within
//! timeout_ms milliseconds; otherwise as thr_process_read.
int thr_process_read_within(THR_PIPE* pipe, char* buffer, std::size_t size, std::size_t* count,
                            int timeout_ms);

constexpr int THR_WAIT_NO_HANG = 1;  //!< thr_process_wait flag: do not block

//! Waits for the child to end. status[0] = the signal that ended it (0 when it exited),
//! status[1] = its exit code (128 + signal when a signal ended it). Answers 0 when the
//! status is filled, 1 with THR_WAIT_NO_HANG while the child still runs, -1 on failure.
//! Waiting again answers the same status.
int thr_process_wait(THR_PROCESS* process, int32_t status[2], int flags);

//! Ends a child that is still running (SIGKILL); one already waited for is left alone.
//! Answers 0 when the signal was sent or the child had ended, -1 otherwise.
int thr_process_kill(THR_PROCESS* process);

//! The child's process id.
long thr_process_id(const THR_PROCESS* process);

//! Closes a pipe; null does nothing. A child still writing to it gets a broken pipe.
void thr_process_close_pipe(THR_PIPE* pipe);
//! Frees a process; one that was not waited for is waited for here, so no zombie stays.
//! Close its pipes first, or a child blocked on a full pipe would never end.
void thr_process_free(THR_PROCESS* process);

struct THR_PROCESS_DELETER {
    void operator()(THR_PROCESS* process) const { thr_process_free(process); }
};
struct THR_PIPE_DELETER {
    void operator()(THR_PIPE* pipe) const { thr_process_close_pipe(pipe); }
};
//! Declare the process before its pipes: members and locals are destroyed in reverse, so
//! the pipes close before the process is waited for.
using THR_PROCESS_PTR = std::unique_ptr<THR_PROCESS, THR_PROCESS_DELETER>;
using THR_PIPE_PTR = std::unique_ptr<THR_PIPE, THR_PIPE_DELETER>;
