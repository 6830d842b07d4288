#pragma once
// Every CLAP header the binding uses, found through the build's include folder that points at
// dpf-source's copy (IPlug/CLAP/CMakeLists.txt).
#include <clap/entry.h>
#include <clap/events.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/gui.h>
#include <clap/ext/latency.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>
#include <clap/plugin-features.h>
#include <clap/plugin.h>
#include <clap/stream.h>

// The CLAP 1.1 extensions the binding and our host offer or use whose headers the packaged
// interface (dpf-source's copy of the CLAP headers) does not carry: audio ports configurations,
// the POSIX file-descriptor support, the render mode, the tail and the host's log. They are written out here from the
// interface's published layout, under the interface's own names, so that a host and a plug-in
// built against a complete set of headers agree with them byte for byte; the names stay the
// interface's so that a later, complete header set replaces this file without an edit elsewhere.

#ifndef CLAP_EXT_AUDIO_PORTS_CONFIG_DECLARED
#define CLAP_EXT_AUDIO_PORTS_CONFIG_DECLARED
extern "C" {

static constexpr const char CLAP_EXT_AUDIO_PORTS_CONFIG[] = "clap.audio-ports-config";

typedef struct clap_audio_ports_config {
  clap_id id;
  char name[CLAP_NAME_SIZE];
  uint32_t input_port_count;
  uint32_t output_port_count;
  bool has_main_input;
  uint32_t main_input_channel_count;
  const char* main_input_port_type;
  bool has_main_output;
  uint32_t main_output_channel_count;
  const char* main_output_port_type;
} clap_audio_ports_config_t;

typedef struct clap_plugin_audio_ports_config {
  // [main-thread]
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin);
  // [main-thread]
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, clap_audio_ports_config_t* config);
  // [main-thread & !active]
  bool(CLAP_ABI* select)(const clap_plugin_t* plugin, clap_id config_id);
} clap_plugin_audio_ports_config_t;

typedef struct clap_host_audio_ports_config {
  // [main-thread]
  void(CLAP_ABI* rescan)(const clap_host_t* host);
} clap_host_audio_ports_config_t;

static constexpr const char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

enum {
  CLAP_POSIX_FD_READ = 1 << 0,
  CLAP_POSIX_FD_WRITE = 1 << 1,
  CLAP_POSIX_FD_ERROR = 1 << 2,
};
typedef uint32_t clap_posix_fd_flags_t;

typedef struct clap_plugin_posix_fd_support {
  // [main-thread]
  void(CLAP_ABI* on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
} clap_plugin_posix_fd_support_t;

typedef struct clap_host_posix_fd_support {
  // [main-thread]
  bool(CLAP_ABI* register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  // [main-thread]
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  // [main-thread]
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
} clap_host_posix_fd_support_t;

static constexpr const char CLAP_EXT_RENDER[] = "clap.render";

enum {
  CLAP_RENDER_REALTIME = 0,
  CLAP_RENDER_OFFLINE = 1,
};
typedef int32_t clap_plugin_render_mode;

typedef struct clap_plugin_render {
  // [main-thread]
  bool(CLAP_ABI* has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  // [main-thread]
  bool(CLAP_ABI* set)(const clap_plugin_t* plugin, clap_plugin_render_mode mode);
} clap_plugin_render_t;

static constexpr const char CLAP_EXT_TAIL[] = "clap.tail";

typedef struct clap_plugin_tail {
  // [main-thread, audio-thread]
  uint32_t(CLAP_ABI* get)(const clap_plugin_t* plugin);
} clap_plugin_tail_t;

typedef struct clap_host_tail {
  // [audio-thread]
  void(CLAP_ABI* changed)(const clap_host_t* host);
} clap_host_tail_t;

static constexpr const char CLAP_EXT_LOG[] = "clap.log";

enum {
  CLAP_LOG_DEBUG = 0,
  CLAP_LOG_INFO = 1,
  CLAP_LOG_WARNING = 2,
  CLAP_LOG_ERROR = 3,
  CLAP_LOG_FATAL = 4,
  CLAP_LOG_HOST_MISBEHAVING = 5,
  CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};
typedef int32_t clap_log_severity;

typedef struct clap_host_log {
  // [thread-safe]
  void(CLAP_ABI* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
} clap_host_log_t;

}  // extern "C"
#endif

// A parameter whose values are a list of named choices; 1.1.2 added the flag, and hosts of
// earlier versions ignore bits they do not know.
#ifndef CLAP_PARAM_IS_ENUM
static constexpr uint32_t CLAP_PARAM_IS_ENUM = 1u << 16;
#endif
