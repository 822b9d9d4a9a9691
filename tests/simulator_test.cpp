// The simulator: script lines and their errors, a run stopped by a bad line, and the real
// mascot-sim executable (--help and exit statuses). Its golden traces are in tests/golden.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core_fixture.h"
#include "host/sim/script.h"
#include "host/sim/simulator.h"
#include "support/file_text.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/wait.h>
#define MASCOT_CAN_SPAWN 1
#endif

namespace {

LineResult Parse(const std::string& line, ScriptEvent& event, std::string& error) {
    return ParseScriptLine(line, event, error);
}

TEST(ScriptLine, MalformedLinesSayWhatIsWrong) {
    const struct {
        const char* line;
        const char* mentions;
    } cases[] = {
        {"tick 1 2", "missing field"},
        {"tick 1 2 3 4", "too many fields"},
        {"tick x 2 3", "(X)"},
        {"tick 1 2 -3", "(MS)"},
        {"tick 1 2 4294967296", "(MS)"},
        {"tick 2147483648 0 0", "(X)"},
        {"command 65536", "(ID)"},
        {"command 1.5", "(ID)"},
        {"seed -1", "(S)"},
        {"run 1 2 3 4 5 6 7", "too many fields"},
        {"click now", "too many fields"},
        {"jump 1", "unknown word 'jump'"},
    };
    for (const auto& c : cases) {
        ScriptEvent e;
        std::string error;
        EXPECT_EQ(Parse(c.line, e, error), LineResult::Error) << c.line;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.line << " -> " << error;
    }
}

// Runs a script through the simulator library; returns the exit status.
int Simulate(CCoreState& core, const std::string& script, std::string& out, std::string& err) {
    std::FILE* in = std::tmpfile();
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    if (in == nullptr || outFile == nullptr || errFile == nullptr) return -1;
    std::fputs(script.c_str(), in);
    std::rewind(in);
    auto simulator = std::make_unique<CSimulator>(core, outFile);
    simulator->Start();
    int status = simulator->RunScript(in, errFile);
    simulator->Finish();
    out = WholeFileText(outFile);
    err = WholeFileText(errFile);
    std::fclose(in);
    std::fclose(outFile);
    std::fclose(errFile);
    return status;
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

using SimulatorTest = CoreTest;

TEST_F(SimulatorTest, ABadLineStopsTheRunButKeepsTheRowsAlreadyWritten) {
    std::string out, err;
    int status = Simulate(
        *m_core, "seed 1\n# comment\nrun 4 100 100 0 10\ntick 1 two 3\nrun 5 0 0 0 10\n", out, err);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(CountLines(out), 1 + 4);  // header and the four ticks before the bad line
    EXPECT_NE(out.find("\n3,300,100,1,"), std::string::npos);
    EXPECT_NE(err.find("line 4:"), std::string::npos) << err;
    EXPECT_NE(err.find("(Y)"), std::string::npos) << err;
}

TEST_F(SimulatorTest, TheExitCommandEndsTheRun) {
    std::string out, err;
    int status = Simulate(*m_core, "command 32793\nrun 2 0 0 0 10\ncommand 57665\nrun 5 0 0 0 10\n",
                          out, err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CountLines(out), 1 + 2);
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_EQ(mascot.m_prevBehaviour, mascot.m_behaviour);
}

#ifdef MASCOT_CAN_SPAWN

std::string TempPath(const char* name) { return std::string(MASCOT_TEST_TMP) + "/" + name; }

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs mascot-sim with the arguments given; returns its exit status, fills stdout and stderr.
int RunSim(const std::string& args, const char* tag, std::string& out, std::string& err) {
    const std::string outPath = TempPath(tag) + ".out";
    const std::string errPath = TempPath(tag) + ".err";
    const std::string command = std::string("'") + MASCOT_SIM_PATH + "' " + args + " >'" + outPath +
                                "' 2>'" + errPath + "'";
    int raw = std::system(command.c_str());
    out = FileText(outPath);
    err = FileText(errPath);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

[[maybe_unused]] constexpr const char* kNoSpawn = "runs the executable through a POSIX shell";

TEST(SimulatorExecutable, HelpDescribesTheScriptAndExitsCleanly) {
#ifndef MASCOT_CAN_SPAWN
    GTEST_SKIP() << kNoSpawn;
#else
    std::string out, err;
    EXPECT_EQ(RunSim("--help", "help", out, err), 0);
    EXPECT_NE(out.find("usage: mascot-sim"), std::string::npos);
    EXPECT_NE(out.find("run N X Y MS DT"), std::string::npos);
    EXPECT_TRUE(err.empty());
#endif
}

TEST(SimulatorExecutable, BadInputExitsWithStatusTwoNamingTheLine) {
#ifndef MASCOT_CAN_SPAWN
    GTEST_SKIP() << kNoSpawn;
#else
    const std::string script = TempPath("bad.script");
    std::ofstream(script) << "run 2 10 10 0 10\n\ncommand 99999\n";
    std::string out, err;
    EXPECT_EQ(RunSim("'" + script + "'", "bad", out, err), 2);
    EXPECT_EQ(CountLines(out), 3);
    EXPECT_NE(err.find("line 3:"), std::string::npos) << err;
    EXPECT_EQ(RunSim("'" + TempPath("no-such.script") + "'", "missing", out, err), 2);
    EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
#endif
}

}  // namespace
