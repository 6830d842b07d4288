-- Drives Ardour headless (ardour7-lua, dummy audio back end) for ArdourTest.cpp, one phase per
-- run, chosen by TB_PHASE; the session lives in TB_SESSION_DIR, the bundle is found through
-- VST3_PATH. Everything it reports goes to standard output as lines "<what> <track> ..." that
-- the test reads; the helpers come from TB_ARDOUR_COMMON.
--   create  a session at 48 kHz with the track "Stereo" holding a placeholder region of
--           TB_FRAMES frames at one second (the test writes its audio into the region's
--           files), Tollenbrook's VST3 on it with the settings of TB_SETTINGS ("Name=value;...",
--           values as Ardour's controls take them), output connected to the master bus; every
--           parameter with its text; saved and closed.
--   render  the track bounced with processing, then with the plug-in switched off by the host;
--           every control's value; saved and closed.
--   reopen  the saved session opened again: every control's value and a bounce.
dofile(os.getenv("TB_ARDOUR_COMMON"))

if phase == "create" then
  assert(create_session(dir, "session", rate), "cannot create the session")
  local t = new_track_with_region("Stereo", 2)
  local proc = ARDOUR.LuaAPI.new_plugin(Session, "Tollenbrook", ARDOUR.PluginType.VST3, "")
  assert(not proc:isnil(), "no VST3 plug-in Tollenbrook")
  assert(t:add_processor_by_index(proc, 0, nil, true) == 0)
  apply(proc, os.getenv("TB_SETTINGS"))
  -- The settings reach the processing through the engine's next cycles, as in a running session.
  ARDOUR.LuaAPI.usleep(200000)
  report_controls(t, true)
  Session:save_state("", false, false, false, false, false)
  close_session()
elseif phase == "render" or phase == "reopen" then
  assert(load_session(dir, "session"), "cannot load the session")
  ARDOUR.LuaAPI.usleep(200000)
  if phase == "render" then
    bounce(route("Stereo"), "processed")
    local pi = route("Stereo"):nth_plugin(0):to_insert()
    pi:enable(false)
    ARDOUR.LuaAPI.usleep(100000)
    bounce(route("Stereo"), "bypassed")
    pi:enable(true)
  else
    bounce(route("Stereo"), "reopened")
  end
  report_controls(route("Stereo"), false)
  Session:save_state("", false, false, false, false, false)
  close_session()
else
  error("TB_PHASE is create, render or reopen")
end
say("done", phase)
