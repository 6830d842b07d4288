#pragma once
// The CLAP 1.1 extensions this host offers or asks for whose declarations the packaged headers
// leave out: the host's log, its file-descriptor support, and the plug-in's audio-ports
// configurations. Laid out as the published interface lays them out (C structs of function
// pointers, the extension named by its id string), so a plug-in built against the full
// headers meets the same binary layout here.
#include "clap/plugin.h"
#include "clap/string-sizes.h"

#ifdef __cplusplus
extern "C" {
#endif

static const char CLAP_EXT_LOG[] = "clap.log";
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

static const char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";
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
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
} clap_host_posix_fd_support_t;

static const char CLAP_EXT_AUDIO_PORTS_CONFIG[] = "clap.audio-ports-config";
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

#ifdef __cplusplus
}
#endif
