// Mirror benchmark: the link engine over the POSIX back end against `cp -al` on the same
// tree, and the start-up cost of a long list file.
//
// Every timed run is a separate child process (this program re-executed, or cp), started
// through run_probe, so that its peak memory comes from wait4() alone and no run inherits
// another's heap or this program's footprint.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "links/batch.h"
#include "links/file_count.h"
#include "platform/posix/posix_fs.h"
#include "platform/utf.h"
#include "support/cp1251.h"
#include "text/command_line.h"
#include "text/texts.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "mirror_bench: %s\n", what.c_str());
    std::exit(2);
}

void MakeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        Fail("cannot create " + path + ": " + std::strerror(errno));
}

// ---- the tree -------------------------------------------------------------------------

// N small files spread evenly over about N/90 leaf folders, three levels deep.
struct TreeShape {
    std::uint64_t files = 0;
    std::uint64_t leaves = 0;
    std::uint64_t fanout = 0;  // per level
};

TreeShape ShapeFor(std::uint64_t files) {
    TreeShape s;
    s.files = files;
    s.leaves = std::max<std::uint64_t>(1, (files + 45) / 90);
    s.fanout = 1;
    while (s.fanout * s.fanout * s.fanout < s.leaves) ++s.fanout;
    return s;
}

std::string LeafPath(const TreeShape& s, std::uint64_t leaf) {
    const std::uint64_t b = s.fanout;
    return "d" + std::to_string(leaf / (b * b)) + "/d" + std::to_string(leaf / b % b) + "/d" +
           std::to_string(leaf % b);
}

// Runs in a child: builds the tree under `root` (which must not exist).
int MakeTree(const std::string& root, std::uint64_t files) {
    const TreeShape s = ShapeFor(files);
    MakeDir(root);
    for (std::uint64_t leaf = 0; leaf < s.leaves; ++leaf) {
        const std::uint64_t b = s.fanout;
        MakeDir(root + "/d" + std::to_string(leaf / (b * b)));
        MakeDir(root + "/d" + std::to_string(leaf / (b * b)) + "/d" + std::to_string(leaf / b % b));
        MakeDir(root + "/" + LeafPath(s, leaf));
    }
    char content[64];
    for (std::uint64_t i = 0; i < files; ++i) {
        const std::string path =
            root + "/" + LeafPath(s, i % s.leaves) + "/file" + std::to_string(i) + ".txt";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) Fail("cannot create " + path + ": " + std::strerror(errno));
        const int n = std::snprintf(content, sizeof content, "file %llu\n",
                                    static_cast<unsigned long long>(i));
        if (::write(fd, content, static_cast<std::size_t>(n)) != n) Fail("write " + path);
        ::close(fd);
    }
    return 0;
}

// ---- the engine child -----------------------------------------------------------------

class NeverAsked : public velmora::IPrompt {
public:
    velmora::PromptAnswer Ask(const std::string& message) override {
        std::fprintf(stderr, "mirror_bench: unexpected prompt: %s\n", message.c_str());
        ++asked;
        return velmora::PromptAnswer::Cancel;
    }
    int asked = 0;
};

// For the reliability scenarios: every failure is skipped and counted.
class AlwaysSkip : public velmora::IPrompt {
public:
    velmora::PromptAnswer Ask(const std::string&) override {
        ++asked;
        return velmora::PromptAnswer::Skip;
    }
    int asked = 0;
};

// For the re-run: a step that fails is skipped, as the user would skip a link that is in
// place already; the prompts and messages are counted, not failed.
class SkipEach : public velmora::IPrompt {
public:
    velmora::PromptAnswer Ask(const std::string&) override {
        ++asked;
        return velmora::PromptAnswer::Skip;
    }
    int asked = 0;
};

class CountMessages : public velmora::IMessages {
public:
    void ShowMessage(const std::string&) override { ++shown; }
    int shown = 0;
};

class NoMessages : public velmora::IMessages {
public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "mirror_bench: unexpected message: %s\n", text.c_str());
        ++shown;
    }
    int shown = 0;
};

// Runs in a child: mirrors the folder `source` into the folder `target` at depth -1, the way
// OK does with one folder entry and the target "<target>/".
int MirrorWithEngine(const std::string& source, const std::string& target) {
    velmora::PosixFileSystem fs;
    NeverAsked prompt;
    NoMessages messages;
    const velmora::TextCatalog texts;
    velmora::LinkBatch batch(fs, prompt, messages, texts);
    const char sep = fs.Separator();
    const velmora::BatchOutcome outcome = batch.Run({source + sep}, target + sep, -1).outcome;
    if (outcome != velmora::BatchOutcome::Completed || prompt.asked || messages.shown) return 3;
    return 0;
}

// Runs in a child: the same as the program's OK does it, the files counted first (for the
// share done) and the count checked against the files the batch then handled.
class LastFiles : public velmora::IBatchObserver {
public:
    bool OnProgress(const velmora::BatchProgress& progress) override {
        files = progress.files;
        return true;
    }
    std::uint64_t files = 0;
};

int MirrorCounted(const std::string& source, const std::string& target) {
    velmora::PosixFileSystem fs;
    NeverAsked prompt;
    NoMessages messages;
    const velmora::TextCatalog texts;
    LastFiles observer;
    const char sep = fs.Separator();
    const std::vector<std::string> entries{source + sep};
    const std::optional<std::uint64_t> total = velmora::CountBatchFiles(fs, entries, -1, nullptr);
    velmora::LinkBatch batch(fs, prompt, messages, texts, &observer);
    const velmora::BatchOutcome outcome = batch.Run(entries, target + sep, -1).outcome;
    if (outcome != velmora::BatchOutcome::Completed || prompt.asked || messages.shown) return 3;
    return total && *total == observer.files ? 0 : 4;
}

// Runs in a child: the count alone; prints the files counted.
int CountOnly(const std::string& source) {
    velmora::PosixFileSystem fs;
    const std::optional<std::uint64_t> total =
        velmora::CountBatchFiles(fs, {source + fs.Separator()}, -1, nullptr);
    std::printf("%llu\n", static_cast<unsigned long long>(total.value_or(0)));
    return total ? 0 : 3;
}

// Runs in a child: the same, every failure skipped; prints how many prompts there were.
int MirrorSkippingFailures(const std::string& source, const std::string& target) {
    velmora::PosixFileSystem fs;
    AlwaysSkip prompt;
    NoMessages messages;
    const velmora::TextCatalog texts;
    velmora::LinkBatch batch(fs, prompt, messages, texts);
    const velmora::BatchOutcome outcome = batch.Run({source + '/'}, target + '/', -1).outcome;
    std::printf("prompts %d\n", prompt.asked);
    return outcome == velmora::BatchOutcome::Completed && messages.shown == 0 ? 0 : 3;
}

// Runs in a child: the same mirror made again over one that is complete. Every failing step
// is skipped; writes "prompts P messages M in-place I skipped S" to `countsFile`. Exit 0 when
// the batch completed.
int MirrorAgain(const std::string& source, const std::string& target,
                const std::string& countsFile) {
    velmora::PosixFileSystem fs;
    SkipEach prompt;
    CountMessages messages;
    const velmora::TextCatalog texts;
    velmora::LinkBatch batch(fs, prompt, messages, texts);
    const char sep = fs.Separator();
    const velmora::BatchResult result = batch.Run({source + sep}, target + sep, -1);
    std::FILE* out = std::fopen(countsFile.c_str(), "w");
    if (!out) return 2;
    std::fprintf(out, "%d %d %llu %llu\n", prompt.asked, messages.shown,
                 static_cast<unsigned long long>(result.alreadyInPlace),
                 static_cast<unsigned long long>(result.skipped));
    if (std::fclose(out) != 0) return 2;
    return result.outcome == velmora::BatchOutcome::Completed ? 0 : 3;
}

// ---- running children -----------------------------------------------------------------

struct RunResult {
    double seconds = 0;
    long maxRssKb = 0;
    int exitCode = -1;
    double processor = 0;  // user and system seconds (measured runs only)
};

RunResult Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    RunResult r;
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (rc != 0) Fail("cannot start " + args[0] + ": " + std::strerror(rc));
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) Fail("wait4 failed");
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.maxRssKb = usage.ru_maxrss;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

// A timed run: `args` started through run_probe (beside this program), which forks it from
// a tiny static image and reports its time, peak RSS and exit code.
RunResult Measure(const std::string& probe, const std::string& resultFile,
                  const std::vector<std::string>& args) {
    std::vector<std::string> full{probe, resultFile};
    full.insert(full.end(), args.begin(), args.end());
    const RunResult outer = Spawn(full);
    if (outer.exitCode != 0) Fail("run_probe failed for " + args[0]);
    std::ifstream in(resultFile);
    RunResult r;
    if (!(in >> r.seconds >> r.maxRssKb >> r.exitCode >> r.processor))
        Fail("run_probe wrote no result");
    return r;
}

void RemoveTree(const std::string& path) {
    const RunResult r = Spawn({"rm", "-rf", path});
    if (r.exitCode != 0) Fail("cannot remove " + path);
}

std::string SelfPath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) Fail("cannot find /proc/self/exe");
    return std::string(buf, static_cast<std::size_t>(n));
}

// ---- checking a mirror ----------------------------------------------------------------

// Walks `source` and checks that `mirror` holds the same folders and, for every file, a
// hard link to it (same inode). Returns the number of files checked; fails on any mismatch.
std::uint64_t CheckMirror(const std::string& source, const std::string& mirror) {
    std::uint64_t files = 0;
    std::vector<std::pair<std::string, std::string>> todo{{source, mirror}};
    while (!todo.empty()) {
        auto [src, dst] = todo.back();
        todo.pop_back();
        DIR* dir = ::opendir(src.c_str());
        if (!dir) Fail("cannot read " + src);
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            struct stat a {
            }, b{};
            if (::lstat((src + "/" + name).c_str(), &a) != 0 ||
                ::lstat((dst + "/" + name).c_str(), &b) != 0)
                Fail("mirror lacks " + dst + "/" + name);
            if (S_ISDIR(a.st_mode)) {
                if (!S_ISDIR(b.st_mode)) Fail(dst + "/" + name + " is no folder");
                todo.emplace_back(src + "/" + name, dst + "/" + name);
            } else {
                if (a.st_ino != b.st_ino || a.st_dev != b.st_dev)
                    Fail(dst + "/" + name + " is no hard link of the source");
                ++files;
            }
        }
        ::closedir(dir);
    }
    return files;
}

// ---- statistics -----------------------------------------------------------------------

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct SizeResult {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    double engine = 0, cp = 0;            // median seconds
    long engineRss = 0, cpRss = 0;        // largest max RSS over the runs, KiB
    double engineMin = 0, engineMax = 0;  // spread
    double cpMin = 0, cpMax = 0;
};

std::uint64_t CountFolders(const TreeShape& s) {
    // leaves + the distinct first- and second-level folders above them
    const std::uint64_t b = s.fanout;
    const std::uint64_t first = (s.leaves - 1) / (b * b) + 1;
    std::uint64_t second = 0;
    for (std::uint64_t top = 0; top < first; ++top) {
        const std::uint64_t lo = top * b * b;
        const std::uint64_t hi = std::min(s.leaves, lo + b * b);
        second += (hi - lo + b - 1) / b;
    }
    return s.leaves + second + first;
}

SizeResult BenchSize(const std::string& work, const std::string& self, std::uint64_t files,
                     int runs) {
    const std::string probe = self.substr(0, self.rfind('/') + 1) + "run_probe";
    const std::string resultFile = work + "/probe.txt";
    SizeResult res;
    res.files = files;
    res.folders = CountFolders(ShapeFor(files)) + 1;
    const std::string source = work + "/src" + std::to_string(files);
    const std::string out = work + "/out";
    const std::string mirror = out + "/src" + std::to_string(files);

    std::fprintf(stderr, "[%llu files] making the tree...\n",
                 static_cast<unsigned long long>(files));
    const RunResult made = Spawn({self, "--make-tree", source, std::to_string(files)});
    if (made.exitCode != 0) Fail("making the tree failed");
    std::fprintf(stderr, "[%llu files] tree made in %.1f s\n",
                 static_cast<unsigned long long>(files), made.seconds);

    // One untimed engine run first: warms the caches the same way for both and checks
    // that the engine's mirror is a faithful one.
    MakeDir(out);
    const RunResult warm = Spawn({self, "--mirror", source, out});
    if (warm.exitCode != 0)
        Fail("the engine did not complete the mirror (exit " + std::to_string(warm.exitCode) + ")");
    const std::uint64_t checked = CheckMirror(source, mirror);
    if (checked != files)
        Fail("mirror holds " + std::to_string(checked) + " files, not " + std::to_string(files));
    RemoveTree(out);

    std::vector<double> engine, cp;
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            // Alternate which one goes first, so neither always follows a removal.
            const bool engineTurn = (which == 0) == (run % 2 == 0);
            MakeDir(out);
            ::sync();
            const RunResult r = engineTurn
                                    ? Measure(probe, resultFile, {self, "--mirror", source, out})
                                    : Measure(probe, resultFile, {"cp", "-al", source, out + "/"});
            if (r.exitCode != 0)
                Fail(std::string(engineTurn ? "engine" : "cp -al") + " run failed");
            (engineTurn ? engine : cp).push_back(r.seconds);
            long& rss = engineTurn ? res.engineRss : res.cpRss;
            rss = std::max(rss, r.maxRssKb);
            std::fprintf(stderr, "[%llu files] run %d %-7s %.3f s, max RSS %ld KiB\n",
                         static_cast<unsigned long long>(files), run + 1,
                         engineTurn ? "engine" : "cp -al", r.seconds, r.maxRssKb);
            RemoveTree(out);
        }
    }
    res.engine = Median(engine);
    res.cp = Median(cp);
    res.engineMin = *std::min_element(engine.begin(), engine.end());
    res.engineMax = *std::max_element(engine.begin(), engine.end());
    res.cpMin = *std::min_element(cp.begin(), cp.end());
    res.cpMax = *std::max_element(cp.begin(), cp.end());
    RemoveTree(source);
    ::unlink(resultFile.c_str());
    return res;
}

// ---- the re-run ---------------------------------------------------------------------

struct RerunResult {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    double fresh = 0, again = 0;  // median seconds
    double freshMin = 0, freshMax = 0, againMin = 0, againMax = 0;
    long againRss = 0;
    int prompts = -1, messages = -1;  // of the last re-run
    unsigned long long inPlace = 0, skipped = 0;
};

// A fresh mirror and then the same mirror made again over it, both timed, every round; the
// mirror is removed (untimed) between rounds. Both runs start after a `sync`, so neither
// pays for the other's writes.
RerunResult BenchRerun(const std::string& work, const std::string& self, std::uint64_t files,
                       int runs) {
    const std::string probe = self.substr(0, self.rfind('/') + 1) + "run_probe";
    const std::string resultFile = work + "/probe.txt";
    const std::string countsFile = work + "/counts.txt";
    RerunResult res;
    res.files = files;
    res.folders = CountFolders(ShapeFor(files)) + 1;
    const std::string source = work + "/src" + std::to_string(files);
    const std::string out = work + "/out";
    const std::string mirror = out + "/src" + std::to_string(files);

    std::fprintf(stderr, "[re-run, %llu files] making the tree...\n",
                 static_cast<unsigned long long>(files));
    if (Spawn({self, "--make-tree", source, std::to_string(files)}).exitCode != 0)
        Fail("making the tree failed");
    MakeDir(out);
    if (Spawn({self, "--mirror", source, out}).exitCode != 0) Fail("the warm-up mirror failed");
    RemoveTree(out);

    std::vector<double> fresh, again;
    for (int run = 0; run < runs; ++run) {
        MakeDir(out);
        ::sync();
        const RunResult f = Measure(probe, resultFile, {self, "--mirror", source, out});
        if (f.exitCode != 0)
            Fail("the fresh mirror failed (exit " + std::to_string(f.exitCode) + ")");
        ::sync();
        const RunResult a =
            Measure(probe, resultFile, {self, "--mirror-again", source, out, countsFile});
        if (a.exitCode != 0) Fail("the re-run failed (exit " + std::to_string(a.exitCode) + ")");
        std::ifstream counts(countsFile);
        if (!(counts >> res.prompts >> res.messages >> res.inPlace >> res.skipped))
            Fail("the re-run wrote no counts");
        const std::uint64_t checked = CheckMirror(source, mirror);
        if (checked != files)
            Fail("after the re-run the mirror holds " + std::to_string(checked) + " files");
        fresh.push_back(f.seconds);
        again.push_back(a.seconds);
        res.againRss = std::max(res.againRss, a.maxRssKb);
        std::fprintf(stderr,
                     "[re-run, %llu files] run %d: fresh %.3f s, again %.3f s (%d prompts, %d "
                     "messages, %llu already in place, %llu skipped)\n",
                     static_cast<unsigned long long>(files), run + 1, f.seconds, a.seconds,
                     res.prompts, res.messages, res.inPlace, res.skipped);
        RemoveTree(out);
    }
    res.fresh = Median(fresh);
    res.again = Median(again);
    res.freshMin = *std::min_element(fresh.begin(), fresh.end());
    res.freshMax = *std::max_element(fresh.begin(), fresh.end());
    res.againMin = *std::min_element(again.begin(), again.end());
    res.againMax = *std::max_element(again.begin(), again.end());
    RemoveTree(source);
    ::unlink(resultFile.c_str());
    ::unlink(countsFile.c_str());
    return res;
}

// ---- the count before the batch ---------------------------------------------------------

struct CountResult {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    double plain = 0, counted = 0;  // median seconds
    double plainMin = 0, plainMax = 0, countedMin = 0, countedMax = 0;
    double countAlone = 0;  // median seconds of the count by itself, over a warm tree
    double plainCpu = 0, countedCpu = 0, countAloneCpu = 0;  // median processor seconds
    double roundRatio = 0;  // median of each round's own ratio, wall
    long plainRss = 0, countedRss = 0;
};

// The mirror as it was and the mirror with the count before it, alternately first in each
// round, each after a `sync` into an empty target.
CountResult BenchCount(const std::string& work, const std::string& self, std::uint64_t files,
                       int runs) {
    const std::string probe = self.substr(0, self.rfind('/') + 1) + "run_probe";
    const std::string resultFile = work + "/probe.txt";
    CountResult res;
    res.files = files;
    res.folders = CountFolders(ShapeFor(files)) + 1;
    const std::string source = work + "/src" + std::to_string(files);
    const std::string out = work + "/out";
    if (Spawn({self, "--make-tree", source, std::to_string(files)}).exitCode != 0)
        Fail("making the tree failed");
    MakeDir(out);
    if (Spawn({self, "--mirror", source, out}).exitCode != 0) Fail("the warm-up mirror failed");
    RemoveTree(out);
    std::vector<double> plain, counted, alone, plainCpu, countedCpu, aloneCpu;
    for (int run = 0; run < runs; ++run) {
        const RunResult c = Measure(probe, resultFile, {self, "--count", source});
        if (c.exitCode != 0) Fail("the count failed");
        alone.push_back(c.seconds);
        aloneCpu.push_back(c.processor);
        for (int which = 0; which < 2; ++which) {
            const bool countTurn = (which == 0) == (run % 2 == 0);
            MakeDir(out);
            ::sync();
            const RunResult r =
                Measure(probe, resultFile,
                        {self, countTurn ? "--mirror-counted" : "--mirror", source, out});
            if (r.exitCode != 0)
                Fail(std::string(countTurn ? "the counted" : "the plain") +
                     " mirror failed (exit " + std::to_string(r.exitCode) + ")");
            (countTurn ? counted : plain).push_back(r.seconds);
            (countTurn ? countedCpu : plainCpu).push_back(r.processor);
            long& rss = countTurn ? res.countedRss : res.plainRss;
            rss = std::max(rss, r.maxRssKb);
            std::fprintf(stderr,
                         "[count, %llu files] run %d %-7s %.3f s (processor %.3f s), max RSS "
                         "%ld KiB\n",
                         static_cast<unsigned long long>(files), run + 1,
                         countTurn ? "counted" : "plain", r.seconds, r.processor, r.maxRssKb);
            RemoveTree(out);
        }
    }
    res.plain = Median(plain);
    res.counted = Median(counted);
    res.countAlone = Median(alone);
    res.plainCpu = Median(plainCpu);
    res.countedCpu = Median(countedCpu);
    res.countAloneCpu = Median(aloneCpu);
    std::vector<double> ratios;
    for (std::size_t i = 0; i < plain.size(); ++i) ratios.push_back(counted[i] / plain[i]);
    res.roundRatio = Median(ratios);
    res.plainMin = *std::min_element(plain.begin(), plain.end());
    res.plainMax = *std::max_element(plain.begin(), plain.end());
    res.countedMin = *std::min_element(counted.begin(), counted.end());
    res.countedMax = *std::max_element(counted.begin(), counted.end());
    RemoveTree(source);
    ::unlink(resultFile.c_str());
    return res;
}

// ---- the list file --------------------------------------------------------------------

// A list file as the file manager writes it, one full path a line, CR LF, in one of its
// three encodings: ANSI (Windows-1251 here, the code page of the built-in texts), UTF-8
// with a byte-order mark, UTF-16 LE with a mark; and UTF-8 without a mark, which could be
// ANSI as well and is decided by looking its first names up. A tenth of the entries are
// folders and one in five names has Cyrillic letters.
enum class ListEncoding { Ansi, Utf8, Utf8NoMark, Utf16 };

const char* EncodingName(ListEncoding e) {
    switch (e) {
        case ListEncoding::Ansi:
            return "ANSI";
        case ListEncoding::Utf8:
            return "UTF-8";
        case ListEncoding::Utf8NoMark:
            return "UTF-8 without a mark";
        case ListEncoding::Utf16:
            return "UTF-16";
    }
    return "";
}

std::string WriteListFile(const std::string& work, std::uint64_t entries, ListEncoding encoding) {
    std::string text = encoding == ListEncoding::Utf8 ? "\xEF\xBB\xBF" : "";
    for (std::uint64_t i = 0; i < entries; ++i) {
        text +=
            "C:\\Users\\Public\\Documents\\Projects\\Archive " + std::to_string(i / 1000) +
            (i % 5 == 0 ? "\\\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82 " : "\\report ") +  // "отчёт"
            std::to_string(i) + (i % 10 == 0 ? "\\" : ".txt") + "\r\n";
    }
    std::string bytes;
    if (encoding == ListEncoding::Utf8 || encoding == ListEncoding::Utf8NoMark) {
        bytes = std::move(text);
    } else if (encoding == ListEncoding::Ansi) {
        bytes = velmora::test::EncodeCp1251(text);
    } else {
        bytes = "\xFF\xFE";
        for (const char16_t unit : velmora::Utf8ToUtf16(text)) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
    }
    const std::string path = work + "/list.txt";
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) Fail("cannot write " + path);
    return path;
}

struct ListResult {
    std::uint64_t entries = 0;
    std::uint64_t bytes = 0;
    double median = 0, min = 0, max = 0;  // milliseconds
};

ListResult BenchList(const std::string& work, std::uint64_t entries, int runs,
                     ListEncoding encoding) {
    const std::string path = WriteListFile(work, entries, encoding);
    ListResult res;
    res.entries = entries;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        // One read of the whole file, as the program does.
        std::string bytes;
        const int fd = ::open(path.c_str(), O_RDONLY);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0) Fail("cannot open " + path);
        bytes.resize(static_cast<std::size_t>(info.st_size));
        if (::read(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            Fail("cannot read " + path);
        ::close(fd);
        // The names are looked up as the program does it, one stat() each (they name nothing
        // here, so both readings tie and UTF-8 is kept).
        const std::vector<std::string> list =
            velmora::ReadListFile(bytes, velmora::test::Cp1251Decoder(), [](std::string_view n) {
                struct stat st {};
                return ::stat(std::string(n).c_str(), &st) == 0;
            }).entries;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (list.size() != entries)
            Fail("the list file gave " + std::to_string(list.size()) + " entries");
        if (list[0] !=
            "C:\\Users\\Public\\Documents\\Projects\\Archive "
            "0\\\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82 0\\")
            Fail("the list file's first entry came out wrong: " + list[0]);
        res.bytes = bytes.size();
    }
    res.median = Median(times);
    res.min = *std::min_element(times.begin(), times.end());
    res.max = *std::max_element(times.begin(), times.end());
    ::unlink(path.c_str());
    return res;
}

// ---- reliability scenarios -----------------------------------------------------------

// `levels` nested folders "d", each with a file "f", made through descriptors so that no
// path passes PATH_MAX on the way down.
void MakeDeepTree(const std::string& root, int levels) {
    MakeDir(root);
    int dir = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels; ++i) {
        if (dir < 0) Fail("cannot open a level of the deep tree");
        const int file = ::openat(dir, "f", O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (file < 0 || ::write(file, "x", 1) != 1) Fail("cannot write a file of the deep tree");
        ::close(file);
        if (::mkdirat(dir, "d", 0755) != 0) Fail("cannot make a level of the deep tree");
        const int next = ::openat(dir, "d", O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = next;
    }
    if (dir >= 0) ::close(dir);
}

// 1,000 leaf folders (10 x 10 x 10), each with a file and a symlink back to the root.
void MakeCycleTree(const std::string& root) {
    MakeDir(root);
    for (int a = 0; a < 10; ++a) {
        const std::string pa = root + "/a" + std::to_string(a);
        MakeDir(pa);
        for (int b = 0; b < 10; ++b) {
            const std::string pb = pa + "/b" + std::to_string(b);
            MakeDir(pb);
            for (int c = 0; c < 10; ++c) {
                const std::string pc = pb + "/c" + std::to_string(c);
                MakeDir(pc);
                std::ofstream(pc + "/f.txt") << "f";
                if (::symlink(root.c_str(), (pc + "/up").c_str()) != 0) Fail("symlink " + pc);
            }
        }
    }
}

void RunScenario(const std::string& work, const std::string& self, const std::string& name) {
    const std::string probe = self.substr(0, self.rfind('/') + 1) + "run_probe";
    const std::string source = work + "/s";
    const std::string out = work + "/t";
    const auto start = Clock::now();
    if (name == "deep")
        MakeDeepTree(source, 10000);
    else if (name == "cycle")
        MakeCycleTree(source);
    else
        Fail("unknown scenario " + name + " (deep, cycle, rerun)");
    const double made = std::chrono::duration<double>(Clock::now() - start).count();
    MakeDir(out);
    const RunResult r = Measure(probe, work + "/probe.txt", {self, "--mirror-skip", source, out});
    std::printf("scenario %s: tree made in %.2f s; engine %.3f s, max RSS %ld KiB, exit %d\n",
                name.c_str(), made, r.seconds, r.maxRssKb, r.exitCode);
    RemoveTree(out);
    RemoveTree(source);
    ::unlink((work + "/probe.txt").c_str());
}

// ---- main -----------------------------------------------------------------------------

void Usage() {
    std::fprintf(stderr,
                 "usage: mirror_bench [--sizes N,N,...] [--million] [--runs R] [--dir DIR]\n"
                 "                    [--list N] [--list-runs R] [--only-list] [--no-list]\n"
                 "  --sizes      tree sizes to mirror (default 10000,100000)\n"
                 "  --million    add the 1,000,000-file tree (several minutes)\n"
                 "  --runs       timed runs of each tool per size (default 5)\n"
                 "  --dir        where the trees are made (default $TMPDIR or /tmp)\n"
                 "  --list       entries of the list file (default 100000)\n"
                 "  --scenario   deep (10,000 nested folders) or cycle (1,000 symlinks back\n"
                 "               to the root): one engine run, failures skipped; alone\n"
                 "               rerun: per size, a fresh mirror, then the same mirror made\n"
                 "               again over it (--runs rounds); every prompt answered Skip\n"
                 "               count: per size, the mirror with and without the count of\n"
                 "               its files before it (--runs rounds)\n");
}

std::vector<std::uint64_t> ParseSizes(const std::string& text) {
    std::vector<std::uint64_t> sizes;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t comma = text.find(',', pos);
        const std::string item =
            text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        char* end = nullptr;
        const unsigned long long v = std::strtoull(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || v == 0) Fail("bad size: " + item);
        sizes.push_back(v);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--make-tree")
        return MakeTree(args[1], std::stoull(args[2]));
    if (args.size() == 3 && args[0] == "--mirror") return MirrorWithEngine(args[1], args[2]);
    if (args.size() == 3 && args[0] == "--mirror-counted") return MirrorCounted(args[1], args[2]);
    if (args.size() == 2 && args[0] == "--count") return CountOnly(args[1]);
    if (args.size() == 3 && args[0] == "--mirror-skip")
        return MirrorSkippingFailures(args[1], args[2]);
    if (args.size() == 4 && args[0] == "--mirror-again")
        return MirrorAgain(args[1], args[2], args[3]);

    std::vector<std::uint64_t> sizes{10000, 100000};
    int runs = 5, listRuns = 21;
    std::uint64_t listEntries = 100000;
    bool doMirror = true, doList = true;
    std::vector<std::string> scenarios;
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--sizes" && hasValue)
            sizes = ParseSizes(args[++i]);
        else if (a == "--million")
            sizes.push_back(1000000);
        else if (a == "--runs" && hasValue)
            runs = std::max(1, std::atoi(args[++i].c_str()));
        else if (a == "--dir" && hasValue)
            base = args[++i];
        else if (a == "--list" && hasValue)
            listEntries = ParseSizes(args[++i]).front();
        else if (a == "--list-runs" && hasValue)
            listRuns = std::max(1, std::atoi(args[++i].c_str()));
        else if (a == "--only-list")
            doMirror = false;
        else if (a == "--no-list")
            doList = false;
        else if (a == "--scenario" && hasValue)
            scenarios.push_back(args[++i]);
        else {
            Usage();
            return 2;
        }
    }

    std::string work = base + "/velmora-bench.XXXXXX";
    if (!::mkdtemp(work.data())) Fail("cannot create a folder in " + base);
    const std::string self = SelfPath();

    std::vector<RerunResult> reruns;
    std::vector<CountResult> counts;
    for (const std::string& name : scenarios) {
        if (name == "count") {
            for (const std::uint64_t n : sizes) counts.push_back(BenchCount(work, self, n, runs));
            continue;
        }
        if (name != "rerun") {
            RunScenario(work, self, name);
            continue;
        }
        for (const std::uint64_t n : sizes) reruns.push_back(BenchRerun(work, self, n, runs));
    }
    if (!reruns.empty()) {
        std::printf(
            "\n| files | folders | fresh mirror median s (min-max) | re-run median s (min-max) | "
            "ratio | prompts in a re-run | already in place | skipped | re-run max RSS KiB |\n");
        std::printf("|---:|---:|---|---|---:|---:|---:|---:|---:|\n");
        for (const RerunResult& r : reruns) {
            std::printf(
                "| %llu | %llu | %.3f (%.3f-%.3f) | %.3f (%.3f-%.3f) | %.2f | %d | %llu | %llu | "
                "%ld |\n",
                static_cast<unsigned long long>(r.files),
                static_cast<unsigned long long>(r.folders), r.fresh, r.freshMin, r.freshMax,
                r.again, r.againMin, r.againMax, r.again / r.fresh, r.prompts, r.inPlace, r.skipped,
                r.againRss);
        }
    }
    if (!counts.empty()) {
        std::printf(
            "\n| files | folders | mirror median s (min-max) | count + mirror median s "
            "(min-max) | ratio | (per round) | processor s: mirror, count + mirror | ratio | count "
            "alone s (processor) | mirror max RSS KiB | count + mirror max RSS KiB |\n");
        std::printf("|---:|---:|---|---|---:|---:|---|---:|---|---:|---:|\n");
        for (const CountResult& r : counts) {
            std::printf(
                "| %llu | %llu | %.3f (%.3f-%.3f) | %.3f (%.3f-%.3f) | %.3f | %.3f | %.3f, "
                "%.3f | %.3f | %.3f (%.3f) | %ld | %ld |\n",
                static_cast<unsigned long long>(r.files),
                static_cast<unsigned long long>(r.folders), r.plain, r.plainMin, r.plainMax,
                r.counted, r.countedMin, r.countedMax, r.counted / r.plain, r.roundRatio,
                r.plainCpu, r.countedCpu, r.countedCpu / r.plainCpu, r.countAlone, r.countAloneCpu,
                r.plainRss, r.countedRss);
        }
    }
    if (!scenarios.empty()) doMirror = doList = false;
    if (doMirror) {
        std::vector<SizeResult> results;
        for (const std::uint64_t n : sizes) results.push_back(BenchSize(work, self, n, runs));
        std::printf(
            "\n| files | folders | engine median s (min-max) | cp -al median s (min-max) | ratio | "
            "engine us/file | engine max RSS KiB | cp -al max RSS KiB |\n");
        std::printf("|---:|---:|---|---|---:|---:|---:|---:|\n");
        for (const SizeResult& r : results) {
            std::printf(
                "| %llu | %llu | %.3f (%.3f-%.3f) | %.3f (%.3f-%.3f) | %.3f | %.2f | %ld | %ld |\n",
                static_cast<unsigned long long>(r.files),
                static_cast<unsigned long long>(r.folders), r.engine, r.engineMin, r.engineMax,
                r.cp, r.cpMin, r.cpMax, r.engine / r.cp,
                r.engine * 1e6 / static_cast<double>(r.files), r.engineRss, r.cpRss);
        }
    }
    if (doList) {
        for (const ListEncoding e : {ListEncoding::Ansi, ListEncoding::Utf8,
                                     ListEncoding::Utf8NoMark, ListEncoding::Utf16}) {
            const ListResult l = BenchList(work, listEntries, listRuns, e);
            std::printf(
                "\nlist file, %s: %llu entries, %llu bytes: read, decoded and split in %.2f ms "
                "median (min %.2f, max %.2f, %d runs)",
                EncodingName(e), static_cast<unsigned long long>(l.entries),
                static_cast<unsigned long long>(l.bytes), l.median, l.min, l.max, listRuns);
        }
        std::printf("\n");
    }
    ::rmdir(work.c_str());
    return 0;
}
