#pragma once
#include <cstdarg>

#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

#if defined(__MINGW32__)
#define AAX_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define AAX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

// The module-wide host services: present between ACFStartup with a host object and
// ACFShutdown. Reports made while absent are dropped. The host starts and stops the module
// from one thread and makes no other call into the module outside that window.
class AAX_CHostServices {
public:
  static constexpr int kMaxTraceLength = 512;  // characters, including the terminator

  // Host main thread. A host object creates the services when none exist; null destroys them.
  static void Set(IACFUnknown* hostObject);
  static void Clear();
  static bool IsSet();

  // Any thread. Sends (file, line, note, flags) to the host; execution always continues.
  static AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note,
                                        int32_t flags = AAX_eAssertFlags_Log);
  // Any thread. Allocates nothing. Formats into kMaxTraceLength characters (longer texts are
  // cut) and sends the text; AAX_ERROR_TRACE_FORMAT_FAILED when the format cannot be applied;
  // 0 without host services.
  static AAX_Result Trace(int32_t priority, const char* format, ...) AAX_PRINTF_FORMAT(2, 3);
  static AAX_Result VTrace(int32_t priority, const char* format, va_list args);
};

// The file part of a source path, for assertion reports.
constexpr const char* AAX_SourceFileName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') name = p + 1;
  }
  return name;
}

// Reports a failed check with this file's name, the line and the check's text, then goes on.
#define AAX_ASSERT(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      AAX_CHostServices::HandleAssertFailure(AAX_SourceFileName(__FILE__), __LINE__, #condition, \
                                             AAX_eAssertFlags_Log);                            \
    }                                                                                          \
  } while (0)
