// Two writers at once. Each round starts two processes together on one task file, one adding a
// task and the other deleting one, and then checks the file they leave: every writer that
// reported success has its change in it, a writer that reported failure changed nothing, no
// task is lost, doubled or cut, and the file ends in CR LF. With --lock-off the writers work
// without the writer lock, to show what it prevents: the program then counts the damage.
//
//   two_writers DIR [ROUNDS [TASKS]] [--lock-off]     (200 rounds on 20,000 tasks by default)
//
// Exits non-zero when any round went wrong, or, with the lock, when any writer failed.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "referencetask.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFile(const std::string& path, std::string_view content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    return file.good();
}

// Runs a writer in a process of its own, which starts when go is closed; its pid.
template <typename Writer>
pid_t StartWriter(const int go[2], Writer writer) {
    const pid_t child = fork();
    if (child == 0) {
        close(go[1]);
        char ignored = 0;
        (void)!read(go[0], &ignored, 1);
        _exit(-writer());
    }
    return child;
}

// The writer's result code, or 1 when it did not end by itself.
int ResultOf(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 1;
    }
    return -WEXITSTATUS(status);
}

struct Tally {
    std::map<std::string, int> counts;
    int damagedRounds = 0;
    int writerFailures = 0;
    std::size_t smallestDamagedFile = SIZE_MAX;
};

// What one round left, against what its writers reported.
bool CheckRound(std::string_view content, const std::vector<std::string_view>& before,
                std::string_view added, bool bAdded, std::string_view dropped, bool bDropped,
                Tally& tally) {
    std::unordered_map<std::string_view, int> expected;
    for (const std::string_view line : before) {
        ++expected[line];
    }
    std::unordered_map<std::string_view, int> found;
    for (const std::string_view line : ReferenceLines(content)) {
        ++found[line];
    }
    std::map<std::string, int> damage;
    if (!content.empty() && !content.ends_with("\r\n")) {
        ++damage["file not ending in CR LF"];
    }
    if (bAdded != (found[added] == 1)) {
        ++damage[bAdded ? "added task missing though its writer reported success"
                        : "added task there though its writer reported failure"];
    }
    if (found[dropped] != (bDropped ? 0 : 1)) {
        ++damage[bDropped ? "deleted task there though its writer reported success"
                          : "deleted task gone though its writer reported failure"];
    }
    found.erase(added);
    found.erase(dropped);
    expected.erase(dropped);
    for (const auto& [line, count] : expected) {
        const auto at = found.find(line);
        const int now = at == found.end() ? 0 : at->second;
        if (now < count) {
            damage["other tasks lost"] += count - now;
        } else if (now > count) {
            damage["other tasks doubled"] += now - count;
        }
    }
    for (const auto& [line, count] : found) {
        if (!expected.contains(line)) {
            damage["lines cut or unknown"] += count;
        }
    }
    for (const auto& [what, count] : damage) {
        tally.counts[what] += count;
    }
    if (damage.empty()) {
        return true;
    }
    ++tally.damagedRounds;
    tally.smallestDamagedFile = std::min(tally.smallestDamagedFile, content.size());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool bLockOff = false;
    std::erase_if(args, [&](const std::string& arg) {
        return arg == "--lock-off" ? (bLockOff = true) : false;
    });
    if (args.empty()) {
        (void)std::fprintf(stderr, "usage: two_writers DIR [ROUNDS [TASKS]] [--lock-off]\n");
        return 2;
    }
    const int rounds = args.size() > 1 ? std::stoi(args[1]) : 200;
    const int tasks = args.size() > 2 ? std::stoi(args[2]) : 20000;
    fs::create_directories(args[0]);
    CTaskFile taskFile((fs::path(args[0]) / "nkdat").string());
    if (bLockOff) {
        taskFile.TurnLockOffForTests();
    }

    // The file as the writers reported it, and its lines.
    std::string current;
    for (int i = 0; i < tasks; ++i) {
        current += FormatTaskLine(2000 + i % 37, 1 + i % 12, 1 + i % 28, i % 30, i % 5, i % 3,
                                  "Task " + std::to_string(i), "Bring the list", 6);
    }
    std::vector<std::string_view> lines = ReferenceLines(current);
    if (!WriteFile(taskFile.Path(), current)) {
        (void)std::fprintf(stderr, "cannot write %s\n", taskFile.Path().c_str());
        return 2;
    }
    std::mt19937 random(19);
    Tally tally;
    for (int round = 0; round < rounds; ++round) {
        const auto nDrop = std::uniform_int_distribution<std::size_t>(0, lines.size() - 1)(random);
        const std::string dropped(lines[nDrop]);
        const TaskRef ref{ParseTaskLine(dropped), static_cast<int>(nDrop) + 1};
        const std::string added = FormatTaskLine(
            2030, 1, 1, 0, 0, 0, "Added in round " + std::to_string(round), "(none)", 6);
        int go[2];
        if (pipe(go) != 0) {
            return 2;
        }
        const pid_t adder = StartWriter(go, [&] { return AppendTaskLine(taskFile, added); });
        const pid_t deleter = StartWriter(go, [&] { return DeleteTask(taskFile, ref); });
        // Both start when the last writing end closes.
        close(go[0]);
        close(go[1]);
        const int addResult = ResultOf(adder);
        const int dropResult = ResultOf(deleter);
        tally.writerFailures += (addResult != kDone ? 1 : 0) + (dropResult != kDone ? 1 : 0);

        std::string content = ReadFile(taskFile.Path());
        if (!CheckRound(content, lines, added, addResult == kDone, dropped, dropResult == kDone,
                        tally)) {
            // The next round starts from what the writers reported.
            content.clear();
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (i != nDrop || dropResult != kDone) {
                    content += lines[i];
                }
            }
            if (addResult == kDone) {
                content += added;
            }
            if (!WriteFile(taskFile.Path(), content)) {
                return 2;
            }
        }
        current = std::move(content);
        lines = ReferenceLines(current);
    }

    (void)std::printf(
        "%d rounds of two writers on %d tasks, lock %s: %d rounds damaged, %d "
        "writers failed (the file left as it was)\n",
        rounds, tasks, bLockOff ? "off" : "on", tally.damagedRounds, tally.writerFailures);
    for (const auto& [what, count] : tally.counts) {
        (void)std::printf("  %-56s %d\n", what.c_str(), count);
    }
    if (tally.damagedRounds > 0) {
        (void)std::printf("  %-56s %zu bytes\n", "smallest file a damaged round left",
                          tally.smallestDamagedFile);
    }
    const bool bGood = tally.damagedRounds == 0 && (bLockOff || tally.writerFailures == 0);
    return bGood ? 0 : 1;
}
