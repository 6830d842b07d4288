#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "host/cli/HostMain.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/ProgressBar.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

std::atomic<bool> sInterrupted{false};

// Signal context: only the flag is touched; the render loop stops at the next block.
extern "C" void OnInterrupt(int) { sInterrupted.store(true, std::memory_order_relaxed); }

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // The wide command line carries names outside the system code page; the host works in UTF-8.
  (void)argv;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) {
    const int len = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<size_t>(len > 0 ? len - 1 : 0), '\0');
    if (len > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), len, nullptr, nullptr);
    args.push_back(arg);
  }
  if (wide) LocalFree(wide);
  if (!wide)
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  tbhost::HostEnvironment env{std::cout, std::cerr,
                              tbhost::ProgressBar::IsTerminal(stderr) ? stderr : nullptr,
                              tbhost::InProcessPluginInstance::Create, &sInterrupted,
                              tbhost::PluginLoader::Load};
#ifdef _WIN32
  // Messages carry UTF-8 file names; the console shows them as such while the host runs.
  const UINT consoleCodePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
#endif
  const int status = tbhost::RunHost(Arguments(argc, argv), env);
  std::cout.flush();
#ifdef _WIN32
  if (consoleCodePage) SetConsoleOutputCP(consoleCodePage);
#endif
  return status;
}
