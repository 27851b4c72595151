// Runs the textraster executable (beside the test program) as a child
// process and captures its exit status and output.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "utf.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace textraster::tool::test {

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32

inline std::wstring Wide(const std::string& utf8) {
    const Decoded d = Utf8ToUtf16(utf8);
    return std::wstring(d.text.begin(), d.text.end());
}

// One argument quoted so that the C runtime's parser gives it back unchanged.
inline std::wstring Quoted(const std::wstring& arg) {
    std::wstring q = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        q.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        q.push_back(c);
    }
    q.append(slashes * 2, L'\\');
    return q + L"\"";
}

inline std::wstring ToolPath() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"textraster.exe";
}

// `scratch`: a folder for the captured output; `input`: a file for standard
// input, or empty; `folder`: the working folder, or empty for this one;
// `unwritable`: standard output refuses every write (a full disk).
inline Outcome RunTool(const std::vector<std::string>& args, const std::string& scratch, const std::string& input = "",
                       const std::string& folder = "", bool unwritable = false) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const std::string outPath = scratch + "/stdout.txt", errPath = scratch + "/stderr.txt";
    auto create = [&](const std::string& p, DWORD access) {
        return CreateFileW(Wide(p).c_str(), access, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    };
    // A handle opened only for reading refuses writes as a full disk does.
    HANDLE out = create(outPath, unwritable ? GENERIC_READ : GENERIC_WRITE), err = create(errPath, GENERIC_WRITE);
    HANDLE in = CreateFileW(Wide(input.empty() ? "NUL" : input).c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                            OPEN_EXISTING, 0, nullptr);
    std::wstring command = Quoted(ToolPath());
    for (const std::string& a : args) command += L" " + Quoted(Wide(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in, startup.hStdOutput = out, startup.hStdError = err;
    PROCESS_INFORMATION process{};
    Outcome run;
    const std::wstring wfolder = Wide(folder);
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                       folder.empty() ? nullptr : wfolder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.status = int(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(in), CloseHandle(out), CloseHandle(err);
    run.out = Slurp(outPath), run.err = Slurp(errPath);
    return run;
}

#else

inline std::string ToolPath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path(self, n > 0 ? size_t(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "textraster";
}

inline Outcome RunTool(const std::vector<std::string>& args, const std::string& scratch, const std::string& input = "",
                       const std::string& folder = "", bool unwritable = false) {
    const std::string outPath = unwritable ? "/dev/full" : scratch + "/stdout.txt";
    const std::string errPath = scratch + "/stderr.txt";
    const std::string tool = ToolPath();
    std::vector<char*> argv = {const_cast<char*>(tool.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Outcome run;
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = unwritable ? "" : Slurp(outPath), run.err = Slurp(errPath);  // /dev/full reads zeros without end
    return run;
}

#endif

}  // namespace textraster::tool::test
