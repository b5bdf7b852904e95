// Shared pieces of the parser benchmarks: a scratch directory, timing an external command,
// and a reporter that prints the ratios between named benchmarks after the run.
#pragma once

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace zybench {

// A fresh directory under TMPDIR (or /tmp), removed with its files at destruction.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/zybench.XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) std::abort();
        path_ = name.data();
    }
    ~ScratchDirectory() {
        for (const std::string& file : files_) std::remove(file.c_str());
        rmdir(path_.c_str());
    }
    std::string file(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// Runs "sh -c command" and returns its wall time in seconds; aborts when it fails.
inline double timeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        std::abort();
    }
    int status = 0;
    waitpid(child, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "command failed: %s\n", command.c_str());
        std::abort();
    }
    return std::chrono::duration<double>(end - start).count();
}

// Console output as usual, plus the mean real time per iteration of each benchmark.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    RecordingReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark, else its single run.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                times_.emplace(run.benchmark_name(),
                               run.real_accumulated_time / static_cast<double>(run.iterations));
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                std::string name = run.benchmark_name();
                name.erase(name.size() - std::string("_median").size());
                times_[name] = run.real_accumulated_time;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Prints how many times faster (or slower) subject is than reference.
    void printRatio(const std::string& subject, const std::string& reference,
                    const char* target) const {
        const auto s = times_.find(subject);
        const auto r = times_.find(reference);
        if (s == times_.end() || r == times_.end() || s->second <= 0) return;
        std::printf("%-44s vs %-36s ratio %.2f  (%s)\n", subject.c_str(), reference.c_str(),
                    r->second / s->second, target);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace zybench
