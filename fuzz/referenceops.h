#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tasks/taskrecord.h"

class CTaskFile;

// Every operation that changes the task file, and what each must make of a file, worked out
// with plain string operations over the file's lines (referencetask.h), apart from the
// program's own code.

enum class RewriteOp {
    Append,
    Compact,
    DeleteMarked,
    DeletePast,
    SortDateDescending,
    SortDateAscending,
    SortStatus,
    SortRecurrence,
    DeleteTask,
    SetTaskStatus,
    DuplicateTask,
    ReplaceTask,
};

inline constexpr std::array kRewriteOps = {
    RewriteOp::Append,
    RewriteOp::Compact,
    RewriteOp::DeleteMarked,
    RewriteOp::DeletePast,
    RewriteOp::SortDateDescending,
    RewriteOp::SortDateAscending,
    RewriteOp::SortStatus,
    RewriteOp::SortRecurrence,
    RewriteOp::DeleteTask,
    RewriteOp::SetTaskStatus,
    RewriteOp::DuplicateTask,
    RewriteOp::ReplaceTask,
};

// Short names for command lines and tables: "append", "delete-task", "sort-status", ...
const char* RewriteOpName(RewriteOp op);
std::optional<RewriteOp> RewriteOpNamed(std::string_view name);

// What one operation is asked to do. Each operation reads only the members it needs.
struct RewriteRequest {
    RewriteOp op = RewriteOp::Compact;
    TaskRecord task;   // the commands: the task as the list row holds it ...
    int nTask = 0;     // ... and its number when the row was made
    std::string line;  // Append, ReplaceTask: the new line
    int status = 0;    // SetTaskStatus
};

// The result code the operation must return, and the file's new content when it must write.
struct RewriteOutcome {
    int result = 0;
    std::optional<std::string> content;
};

// What the operation must do to an existing task file holding content.
RewriteOutcome ReferenceRewrite(std::string_view content, const RewriteRequest& request);

// Runs the program's own operation on the task file; its result code.
int RunRewrite(const CTaskFile& file, const RewriteRequest& request);
