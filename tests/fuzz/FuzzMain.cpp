// A small fuzzing driver for any compiler: feeds a target's
// LLVMFuzzerTestOneInput with random inputs and mutations of earlier ones
// for a time or a number of runs, or replays given inputs. When a run fails
// (a sanitizer report, a failed check, a signal, a time-out) it prints the
// seed, the run and the input in hex, so the finding replays with -hex= or
// from the file written with -artifact_prefix=.
//
//   target [-seconds=N] [-runs=N] [-seed=N] [-max_len=N] [-timeout=N]
//          [-artifact_prefix=PATH] [-hex=HEX] [FILE...]
//
// Without coverage feedback the mutations are blind; the targets read their
// input as a sequence of decisions, so that random bytes already make
// meaningful runs. At the end a successful session prints
// "1 passed, 0 failed".

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

// Undefined behaviour ends the run through abort(), where the report of the
// input happens; the sanitizer's own death callback covers only its errors.
extern "C" const char* __ubsan_default_options() { return "abort_on_error=1:print_stacktrace=1"; }

namespace {

// What the failure report needs, kept where a signal handler can reach it.
const std::vector<uint8_t>* g_current = nullptr;
uint64_t g_seed = 0;
uint64_t g_run = 0;
const char* g_program = "";
std::string g_artifactPrefix;
bool g_reported = false;

void Write(const char* text) { [[maybe_unused]] ssize_t n = write(2, text, strlen(text)); }

void ReportCurrentInput(const char* why)
{
    if (g_reported) return;
    g_reported = true;
    char line[160];
    if (!g_current) {
        snprintf(line, sizeof line, "\n==== %s outside a run\n", why);
        Write(line);
        return;
    }
    snprintf(line, sizeof line, "\n==== %s: seed %llu, run %llu, input of %zu bytes:\n", why,
             static_cast<unsigned long long>(g_seed), static_cast<unsigned long long>(g_run), g_current->size());
    Write(line);
    std::string hex;
    static const char digits[] = "0123456789abcdef";
    for (const uint8_t b : *g_current) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    Write(hex.c_str());
    snprintf(line, sizeof line, "\n==== replay: %s -hex=<the hex above>\n", g_program);
    Write(line);
    if (!g_artifactPrefix.empty()) {
        const std::string path = g_artifactPrefix + "crash-" + std::to_string(g_seed) + "-" + std::to_string(g_run);
        if (FILE* f = fopen(path.c_str(), "wb")) {
            fwrite(g_current->data(), 1, g_current->size(), f);
            fclose(f);
            Write(("==== written to " + path + "\n").c_str());
        }
    }
}

void OnDeath() { ReportCurrentInput("sanitizer report"); }

void OnSignal(int signal)
{
    ReportCurrentInput(signal == SIGALRM ? "time-out" : strsignal(signal));
    std::signal(signal, SIG_DFL);
    if (signal == SIGALRM) _exit(70);
    raise(signal);
}

int RunOne(const std::vector<uint8_t>& input, unsigned timeout)
{
    g_current = &input;
    if (timeout) alarm(timeout);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    if (timeout) alarm(0);
    g_current = nullptr;
    return 0;
}

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Byte values that take the targets' decisions to their edges.
constexpr uint8_t kInteresting[] = {0,    1,    2,    3,    4,    7,    8,    0x0A, 0x0D, 0x10, 0x1F, 0x20,
                                    '+',  '-',  '0',  '1',  '9',  ':',  'A',  'x',  '\\', '^',  '&',  0x40,
                                    0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xEF,
                                    0xFC, 0xFD, 0xFE, 0xFF};

class Mutator {
public:
    Mutator(uint64_t seed, size_t maxLength) : rng_(seed), maxLength_(maxLength) {}

    size_t Pick(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    uint8_t Byte() { return Pick(2) ? static_cast<uint8_t>(Pick(256)) : kInteresting[Pick(std::size(kInteresting))]; }

    std::vector<uint8_t> Fresh()
    {
        static const size_t lengths[] = {8, 32, 128, 512, 2048};
        std::vector<uint8_t> out(Pick(std::min(maxLength_, lengths[Pick(std::size(lengths))]) + 1));
        for (uint8_t& b : out) b = Byte();
        return out;
    }

    void Mutate(std::vector<uint8_t>& input, const std::vector<uint8_t>& other)
    {
        for (size_t n = 1 + Pick(4); n > 0; --n) {
            switch (Pick(input.empty() ? 1 : 7)) {
            case 0:  // insert bytes
                input.insert(input.begin() + static_cast<long>(Pick(input.size() + 1)), 1 + Pick(4), Byte());
                break;
            case 1: input[Pick(input.size())] = Byte(); break;
            case 2: input[Pick(input.size())] ^= static_cast<uint8_t>(1u << Pick(8)); break;
            case 3: {  // erase a range
                const size_t at = Pick(input.size());
                input.erase(input.begin() + static_cast<long>(at),
                            input.begin() + static_cast<long>(std::min(input.size(), at + 1 + Pick(16))));
                break;
            }
            case 4: {  // copy a range elsewhere
                const size_t from = Pick(input.size());
                const size_t count = std::min(input.size() - from, 1 + Pick(32));
                const std::vector<uint8_t> piece(input.begin() + static_cast<long>(from),
                                                 input.begin() + static_cast<long>(from + count));
                input.insert(input.begin() + static_cast<long>(Pick(input.size() + 1)), piece.begin(), piece.end());
                break;
            }
            case 5: {  // splice with another input
                if (other.empty()) break;
                const size_t at = Pick(input.size() + 1);
                input.resize(at);
                input.insert(input.end(), other.begin() + static_cast<long>(Pick(other.size())), other.end());
                break;
            }
            default: {  // a small number at a place
                const size_t at = Pick(input.size());
                input[at] = static_cast<uint8_t>(input[at] + Pick(9) - 4);
                break;
            }
            }
        }
        if (input.size() > maxLength_) input.resize(maxLength_);
    }

private:
    std::mt19937_64 rng_;
    size_t maxLength_;
};

}  // namespace

int main(int argc, char** argv)
{
    g_program = argv[0];
    double seconds = 10;
    uint64_t runs = 0;
    size_t maxLength = 4096;
    unsigned timeout = 20;
    bool seeded = false;
    std::vector<std::vector<uint8_t>> replay;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) -> const char* {
            const size_t n = strlen(name);
            return arg.compare(0, n, name) == 0 ? arg.c_str() + n : nullptr;
        };
        if (const char* v = value("-seconds=")) seconds = atof(v);
        else if (const char* v = value("-max_total_time=")) seconds = atof(v);
        else if (const char* v = value("-runs=")) runs = strtoull(v, nullptr, 10);
        else if (const char* v = value("-seed=")) g_seed = strtoull(v, nullptr, 10), seeded = true;
        else if (const char* v = value("-max_len=")) maxLength = std::max<size_t>(1, strtoull(v, nullptr, 10));
        else if (const char* v = value("-timeout=")) timeout = static_cast<unsigned>(atoi(v));
        else if (const char* v = value("-artifact_prefix=")) g_artifactPrefix = v;
        else if (const char* v = value("-hex=")) replay.push_back(FromHex(v));
        else if (!arg.empty() && arg[0] == '-') {
            fprintf(stderr, "unknown option %s\n", arg.c_str());
            return 2;
        } else {
            std::ifstream file(arg, std::ios::binary);
            if (!file) {
                fprintf(stderr, "cannot read %s\n", arg.c_str());
                return 2;
            }
            replay.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
    }
    if (!seeded) g_seed = std::random_device{}() ^ static_cast<uint64_t>(time(nullptr));

    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(OnDeath);
    for (const int s : {SIGSEGV, SIGABRT, SIGFPE, SIGILL, SIGBUS, SIGALRM}) std::signal(s, OnSignal);

    if (!replay.empty()) {
        for (const std::vector<uint8_t>& input : replay) RunOne(input, timeout);
        printf("replayed %zu input(s)\n1 passed, 0 failed\n", replay.size());
        return 0;
    }

    Mutator mutator(g_seed, maxLength);
    std::vector<std::vector<uint8_t>> pool;
    constexpr size_t kPoolSize = 256;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    RunOne({}, timeout);
    for (g_run = 1; runs == 0 || g_run <= runs; ++g_run) {
        if (runs == 0 && elapsed() >= seconds) break;
        std::vector<uint8_t> input;
        if (pool.empty() || mutator.Pick(8) == 0) {
            input = mutator.Fresh();
        } else {
            input = pool[mutator.Pick(pool.size())];
            mutator.Mutate(input, pool[mutator.Pick(pool.size())]);
        }
        RunOne(input, timeout);
        if (pool.size() < kPoolSize) pool.push_back(std::move(input));
        else pool[mutator.Pick(kPoolSize)] = std::move(input);
    }
    const double took = elapsed();
    printf("%llu runs in %.1f s (%.0f runs/s), seed %llu, max_len %zu\n1 passed, 0 failed\n",
           static_cast<unsigned long long>(g_run - 1), took, took > 0 ? (g_run - 1) / took : 0.0,
           static_cast<unsigned long long>(g_seed), maxLength);
    return 0;
}
