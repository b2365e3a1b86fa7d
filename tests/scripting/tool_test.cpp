// knloop-script as users run it: check and run, exit codes and what it prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "script_support.h"
#include "temp_folder.h"

namespace kinoloop::testing {
namespace {

struct Result {
    int exit = -1;
    std::string out;
};

Result Tool(const std::string& args) {
    std::string command = (BuildDir() / "bin" / "knloop-script").string() + " " + args + " 2>&1";
    Result r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    int status = pclose(pipe);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(KnloopScript, CheckAndRun) {
    TempFolder dir;
    std::ofstream(dir / "good.pas")
        << "unit Good;\nprocedure Main;\nbegin\n  _camera_pos_x := 65536;\n"
           "  COM_set_camera;\n  COM_stop_internal_time(True);\n  COM_step_time(8);\n"
           "  WriteLn('x=', _camera_pos_x, ' fov=', _camera_fov, ' ok=', True);\nend;\nend.\n";
    std::ofstream(dir / "bad.pas") << "unit Bad;\nprocedure Main;\nbegin\n  if then;\nend;\nend.\n";
    std::ofstream(dir / "fails.pas")
        << "unit Fails;\nprocedure Main;\nbegin\n  WriteLn('before');\n  nothing;\nend;\nend.\n";
    struct Case {
        std::string args;
        int exit;
        std::string out;
    } cases[] = {
        {"check " + (dir / "good.pas").string(), 0, ""},
        {"run " + (dir / "good.pas").string(), 0, "x=65536 fov=90 ok=TRUE\n"},
        {"check " + (dir / "bad.pas").string(), 1,
         (dir / "bad.pas").string() +
             ":4:6: Error in unit 'Bad' on line 4: Illegal expression: 'then' found\n"},
        {"run " + (dir / "fails.pas").string(), 1,
         "before\n" + (dir / "fails.pas").string() +
             ":5:3: Error in unit 'Fails' on line 5: Undeclared identifier 'nothing'\n"},
        {"check " + (dir / "absent.pas").string(), 1,
         "Cannot open the file " + (dir / "absent.pas").string() + "\n"},
        {"compile x", 2, "usage: knloop-script check FILE\n       knloop-script run FILE\n"},
    };
    for (const Case& c : cases) {
        Result r = Tool(c.args);
        EXPECT_EQ(r.exit, c.exit) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
}

TEST(KnloopScript, RunsTheShippedTemplate) {
    Result r = Tool("run " + (SourceDir() / "assets" / "Scr" / "default.script").string());
    EXPECT_EQ(r.exit, 0) << r.out;
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace kinoloop::testing
