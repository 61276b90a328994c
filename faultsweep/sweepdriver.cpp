// The program the fault sweep (scripts/fault-sweep.sh) runs: it makes a task file, runs one
// changing operation on it between two marks that strace can find, and says afterwards whether
// the file holds exactly its old or exactly its new content. The new content is worked out
// apart from the program's code (fuzz/referenceops.h).
//
//   fault_sweep_driver setup DIR OP [TASKS]   DIR/old: the task file; DIR/new: what OP makes of it
//   fault_sweep_driver run DIR OP [WRITER]    DIR/old as the task file DIR/nkdat, OP between the
//                                             marks; the exit status is the result code negated
//                                             (7 for "unchanged"). WRITER "core" (the program's
//                                             own), or a broken one: "inplace" writes over the
//                                             task file, "unchecked" ignores write errors
//   fault_sweep_driver check DIR STATUS       what the run left: "new", "old" or "bad ..."
//   fault_sweep_driver kill DIR KILLS [TASKS [WRITER]]
//                                             kills rewrites at random moments
//   fault_sweep_driver selftest DIR           every OP unhindered makes the content worked out

#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "referenceops.h"
#include "referencetask.h"
#include "tasks/taskfile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSweepTasks = 1000;
constexpr int kKillTasks = 20000;
constexpr int kStatusUnchanged = 7;
constexpr int kStatusUnexpected = 8;

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFile(const fs::path& path, std::string_view content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file.good();
}

// A task file with a bit of everything each operation looks at: every status, recurrences in and
// out of range, dates that tie, leading zeros, lines that are no tasks, empty lines, and a last
// line without its line end. The same count always gives the same file.
std::string MakeTaskFile(int tasks) {
    std::minstd_rand random(static_cast<unsigned>(tasks));
    const auto pick = [&random](int below) { return static_cast<int>(random() % below); };
    constexpr std::array<int, 11> kRecurrences = {0, 0, 0, 1, 2, 31, 34, 37, 0, 40, -1};
    std::string content;
    for (int i = 1; i <= tasks; ++i) {
        // One value after the other: the order of the picks makes the file.
        const int month = pick(12) + 1;
        const int day = pick(28) + 1;
        const int year = 1999 + pick(39);
        const int advanceDays = pick(31);
        const int status = pick(5);
        const int recurrence = kRecurrences[pick(11)];
        const int hour = pick(24) + 1;
        content += (i % 50 == 0 ? "#0" : "#") + std::to_string(month) + "/" + std::to_string(day) +
                   "/" + std::to_string(year) + "{+}" + std::to_string(advanceDays) + "{+}" +
                   std::to_string(status) + "{+}" + std::to_string(recurrence) + "{+}Task " +
                   std::to_string(i) + (i % 7 == 0 ? " {a+b}" : "") + "{+}" +
                   (i % 3 == 0 ? "(none)" : "Bring the list") + "{+}" + std::to_string(hour) +
                   "\r\n";
        if (i % 97 == 0) {
            content += "; not a task\r\n";
        }
        if (i % 101 == 0) {
            content += "\r\n";
        }
    }
    return content + "#12/31/2037{+}0{+}1{+}0{+}Last, without its line end{+}(none){+}24";
}

// What each operation is asked in the sweep: a task a third of the way down.
RewriteRequest MakeRequest(RewriteOp op, std::string_view content) {
    std::vector<std::string_view> tasks;
    for (const std::string_view line : ReferenceLines(content)) {
        if (ReferenceIsTask(line)) {
            tasks.push_back(line);
        }
    }
    RewriteRequest request;
    request.op = op;
    request.nTask = static_cast<int>(tasks.size()) / 3 + 1;
    request.task = ReferenceParse(tasks[request.nTask - 1]).record;
    request.line = "#2/29/2028{+}1{+}0{+}37{+}A new task{+}(none){+}7\r\n";
    request.status = request.task.status == 3 ? 0 : 3;
    return request;
}

int ExitStatus(int result) {
    if (result <= 0 && result >= kTaskGone) {
        return -result;
    }
    return result == kUnchanged ? kStatusUnchanged : kStatusUnexpected;
}

// Marks where the operation starts and ends in strace's log: a call nothing else makes.
void Mark() {
    (void)syscall(SYS_getppid);
}

// Broken writers, to show that the sweep catches them: one writes the new content over the task
// file itself, the other writes it through the temporary file but does not look at errors.
int WriteInPlace(const CTaskFile& taskFile, const std::string& content) {
    std::FILE* file = std::fopen(taskFile.Path().c_str(), "wb");
    if (file == nullptr) {
        return kCannotCreateTemp;
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written ? kDone : kCannotCreateTemp;
}

int WriteUnchecked(const CTaskFile& taskFile, const std::string& content) {
    const std::string temp = taskFile.TempPath();
    if (std::FILE* file = std::fopen(temp.c_str(), "wb")) {
        (void)std::fwrite(content.data(), 1, content.size(), file);
        (void)std::fclose(file);
    }
    (void)std::rename(temp.c_str(), taskFile.Path().c_str());
    return kDone;
}

// The rewrite by the writer asked for: the program's own, or a broken one writing the content
// worked out for it.
int Rewrite(const CTaskFile& taskFile, std::string_view writer, const RewriteRequest& request,
            const std::string& fresh) {
    if (writer == "inplace") {
        return WriteInPlace(taskFile, fresh);
    }
    if (writer == "unchecked") {
        return WriteUnchecked(taskFile, fresh);
    }
    return RunRewrite(taskFile, request);
}

// The task file the driver works on, "nkdat" in DIR.
CTaskFile TaskFileIn(const fs::path& dir) {
    return CTaskFile((dir / "nkdat").string());
}

int Setup(const fs::path& dir, RewriteOp op, int tasks) {
    const std::string content = MakeTaskFile(tasks);
    const RewriteOutcome want = ReferenceRewrite(content, MakeRequest(op, content));
    if (want.result != kDone || !want.content) {
        (void)std::fprintf(stderr, "%s writes nothing on the sweep's file\n", RewriteOpName(op));
        return 1;
    }
    return WriteFile(dir / "old", content) && WriteFile(dir / "new", *want.content) ? 0 : 1;
}

// Runs the operation once; only the part between the marks is what the sweep looks at.
int Run(const fs::path& dir, RewriteOp op, std::string_view writer) {
    const std::string old = ReadFile(dir / "old");
    const CTaskFile taskFile = TaskFileIn(dir);
    if (old.empty() || !WriteFile(taskFile.Path(), old)) {
        return kStatusUnexpected;
    }
    (void)std::remove(taskFile.TempPath().c_str());
    const RewriteRequest request = MakeRequest(op, old);
    const std::string broken = writer == "core" ? std::string() : ReadFile(dir / "new");
    Mark();
    const int result = Rewrite(taskFile, writer, request, broken);
    Mark();
    // No buffered output is left to flush: the exit status is the whole answer.
    _exit(ExitStatus(result));
}

// What a run left, from the file, the temporary file and the exit status.
std::string Outcome(const fs::path& dir, int status) {
    const std::string now = ReadFile(dir / "nkdat");
    const bool bOld = now == ReadFile(dir / "old");
    const bool bNew = now == ReadFile(dir / "new");
    const bool bFailed = status >= 1 && status <= -kTaskGone;
    std::string bad;
    if (!bOld && !bNew) {
        bad += " damaged";
    } else if (bOld && !bFailed) {
        bad += " old-without-failure";
    } else if (bNew && status != 0) {
        bad += " new-with-failure";
    }
    if (fs::exists(TaskFileIn(dir).TempPath())) {
        bad += " temporary-file-left";
    }
    if (!bad.empty()) {
        return "bad" + bad + " (status " + std::to_string(status) + ")";
    }
    return bNew ? "new" : "old";
}

int Check(const fs::path& dir, int status) {
    const std::string outcome = Outcome(dir, status);
    (void)std::printf("%s\n", outcome.c_str());
    return 0;
}

// Runs the operation in a child; returns the child's wait status.
int RunChild(const CTaskFile& taskFile, std::string_view writer, const RewriteRequest& request,
             const std::string& fresh, std::chrono::microseconds killAfter) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(ExitStatus(Rewrite(taskFile, writer, request, fresh)));
    }
    if (killAfter.count() >= 0) {
        std::this_thread::sleep_for(killAfter);
        (void)kill(child, SIGKILL);
    }
    int status = 0;
    (void)waitpid(child, &status, 0);
    return status;
}

int KillTest(const fs::path& dir, int kills, int tasks, std::string_view writer) {
    const std::string old = MakeTaskFile(tasks);
    const CTaskFile taskFile = TaskFileIn(dir);
    struct Case {
        RewriteRequest request;
        std::string fresh;
        std::chrono::microseconds duration{0};
    };
    std::vector<Case> cases;
    for (const RewriteOp op : kRewriteOps) {
        Case c;
        c.request = MakeRequest(op, old);
        c.fresh = *ReferenceRewrite(old, c.request).content;
        // How long the rewrite takes when left alone (the middle of three runs): the kills fall
        // within that time.
        std::array<std::chrono::microseconds, 3> durations{};
        for (std::chrono::microseconds& duration : durations) {
            (void)WriteFile(taskFile.Path(), old);
            const auto start = std::chrono::steady_clock::now();
            const int status =
                RunChild(taskFile, writer, c.request, c.fresh, std::chrono::microseconds(-1));
            duration = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
                ReadFile(taskFile.Path()) != c.fresh) {
                (void)std::printf("%s does not make the new content when left alone\n",
                                  RewriteOpName(op));
                return 1;
            }
        }
        std::sort(durations.begin(), durations.end());
        c.duration = durations[1];
        cases.push_back(std::move(c));
    }

    std::mt19937 random(std::random_device{}());
    std::map<std::string, int> counts;
    int killed = 0;
    int bad = 0;
    for (int attempt = 0; killed < kills; ++attempt) {
        const Case& c = cases[static_cast<std::size_t>(attempt) % cases.size()];
        (void)WriteFile(taskFile.Path(), old);
        const auto delay = std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, c.duration.count() * 6 / 5)(random));
        const int status = RunChild(taskFile, writer, c.request, c.fresh, delay);
        const std::string now = ReadFile(taskFile.Path());
        const bool bKilled = WIFSIGNALED(status);
        std::string outcome = now == old ? "old" : now == c.fresh ? "new" : "damaged";
        if (!bKilled && (outcome != "new" || WEXITSTATUS(status) != 0)) {
            outcome.insert(0, "finished but ");
        }
        // A kill may leave the temporary file; the program removes it at its next start.
        if (fs::exists(taskFile.TempPath())) {
            ++counts["temporary file left (removed)"];
            if (!bKilled || !taskFile.RemoveLeftoverTempFile() ||
                ReadFile(taskFile.Path()) != now) {
                outcome = "temporary file not removed";
            }
        }
        ++counts[(bKilled ? "killed: " : "finished before the kill: ") + outcome];
        killed += bKilled ? 1 : 0;
        if (outcome != "old" && outcome != "new") {
            ++bad;
            (void)std::printf("bad: %s after %s, %lld us\n", outcome.c_str(),
                              RewriteOpName(c.request.op), static_cast<long long>(delay.count()));
        }
    }
    (void)std::printf("kill test: %d tasks, %d rewrites killed, %d bad outcomes (writer: %.*s)\n",
                      tasks, killed, bad, static_cast<int>(writer.size()), writer.data());
    for (const auto& [what, count] : counts) {
        (void)std::printf("  %-40s %d\n", what.c_str(), count);
    }
    return bad == 0 ? 0 : 1;
}

int SelfTest(const fs::path& dir) {
    const CTaskFile taskFile = TaskFileIn(dir);
    int bad = 0;
    const std::string old = MakeTaskFile(300);
    for (const RewriteOp op : kRewriteOps) {
        const RewriteRequest request = MakeRequest(op, old);
        const RewriteOutcome want = ReferenceRewrite(old, request);
        (void)WriteFile(taskFile.Path(), old);
        const int result = RunRewrite(taskFile, request);
        if (result != want.result || ReadFile(taskFile.Path()) != want.content.value_or(old) ||
            fs::exists(taskFile.TempPath())) {
            (void)std::printf("%s: result %d, not the content worked out for it\n",
                              RewriteOpName(op), result);
            ++bad;
        }
    }
    (void)std::printf("%zu operations, %d differ\n", kRewriteOps.size(), bad);
    return bad == 0 ? 0 : 1;
}

int Usage() {
    (void)std::fprintf(
        stderr,
        "usage: fault_sweep_driver setup DIR OP [TASKS] | run DIR OP [core|inplace|"
        "unchecked] | check DIR STATUS | kill DIR KILLS [TASKS [WRITER]] | selftest DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        return Usage();
    }
    const fs::path dir = args[1];
    const std::string& mode = args[0];
    if (mode == "selftest") {
        return SelfTest(dir);
    }
    if (args.size() < 3) {
        return Usage();
    }
    if (mode == "check") {
        return Check(dir, std::stoi(args[2]));
    }
    if (mode == "kill") {
        return KillTest(dir, std::stoi(args[2]), args.size() > 3 ? std::stoi(args[3]) : kKillTasks,
                        args.size() > 4 ? args[4] : "core");
    }
    const std::optional<RewriteOp> op = RewriteOpNamed(args[2]);
    if (!op) {
        return Usage();
    }
    if (mode == "setup") {
        return Setup(dir, *op, args.size() > 3 ? std::stoi(args[3]) : kSweepTasks);
    }
    if (mode == "run") {
        return Run(dir, *op, args.size() > 3 ? args[3] : "core");
    }
    return Usage();
}
