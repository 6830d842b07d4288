-- Drives Ardour headless (ardour7-lua, dummy audio back end) for ArdourTest.cpp, one phase per
-- run, chosen by TB_PHASE; the session lives in TB_SESSION_DIR. Everything it reports goes to
-- standard output as lines "<what> <track> ..." that the test reads; the helpers come from
-- TB_ARDOUR_COMMON.
--   create  a session at 48 kHz with the tracks "Stereo", "Mono" and "Key", each with a
--           placeholder region of TB_FRAMES frames at one second (the test writes its audio
--           into the region's files), Tollenbrook on the first two with the settings of
--           TB_STEREO / TB_MONO ("Name=value;..."), outputs connected to the master bus; saved
--           and closed.
--   render  each track bounced with processing; then with the plug-in switched off by the
--           host; then with the factory preset TB_PRESET applied to the mono track through
--           Ardour's preset interface; every control's value; saved and closed.
--   reopen  the saved session opened again: every control's value and a bounce; saved.
--   sidechain  the key track fed to the stereo plug-in's side-chain input, the settings of
--           TB_SIDECHAIN on top, and the stereo track's output recorded in real time.
dofile(os.getenv("TB_ARDOUR_COMMON"))

local tracks = { { name = "Stereo", channels = 2, uri = "urn:vantorell:tollenbrook:stereo", settings = "TB_STEREO" },
                 { name = "Mono", channels = 1, uri = "urn:vantorell:tollenbrook:mono", settings = "TB_MONO" },
                 { name = "Key", channels = 1 } }

if phase == "create" then
  assert(create_session(dir, "session", rate), "cannot create the session")
  for _, t in ipairs(tracks) do
    local track = new_track_with_region(t.name, t.channels)
    if t.uri then
      local proc = ARDOUR.LuaAPI.new_plugin(Session, t.uri, ARDOUR.PluginType.LV2, "")
      assert(not proc:isnil(), "no plug-in " .. t.uri)
      assert(track:add_processor_by_index(proc, 0, nil, true) == 0)
      apply(proc, os.getenv(t.settings))
    end
  end
  Session:save_state("", false, false, false, false, false)
  close_session()
elseif phase == "render" or phase == "reopen" then
  assert(load_session(dir, "session"), "cannot load the session")
  -- Let the engine run the plug-ins for a moment, as it does while a session is open.
  ARDOUR.LuaAPI.usleep(200000)
  if phase == "render" then
    for _, t in ipairs(tracks) do if t.uri then bounce(route(t.name), "processed") end end
    local pi = route("Stereo"):nth_plugin(0):to_insert()
    pi:enable(false)
    ARDOUR.LuaAPI.usleep(100000)
    bounce(route("Stereo"), "bypassed")
    pi:enable(true)
    local mono = route("Mono"):nth_plugin(0):to_insert():plugin(0)
    local preset = mono:preset_by_label(os.getenv("TB_PRESET"))
    assert(preset and preset.valid, "no preset")
    assert(mono:load_preset(preset), "preset not loaded")
    ARDOUR.LuaAPI.usleep(100000)
    bounce(route("Mono"), "preset")
  else
    for _, t in ipairs(tracks) do if t.uri then bounce(route(t.name), "reopened") end end
  end
  for _, t in ipairs(tracks) do if t.uri then report_controls(route(t.name)) end end
  Session:save_state("", false, false, false, false, false)
  close_session()
elseif phase == "sidechain" then
  -- Ardour does not bounce a track whose plug-in has a side chain with processing, so the
  -- stereo track's output is recorded in real time onto a new track instead; the session is
  -- not saved afterwards.
  assert(load_session(dir, "session"), "cannot load the session")
  local stereo = route("Stereo")
  local proc = stereo:nth_plugin(0)
  local insert = proc:to_insert()
  assert(stereo:add_sidechain(insert), "no side chain")
  assert(insert:sidechain_input():audio(0):connect(route("Key"):output():audio(0):name()) == 0)
  apply(proc, os.getenv("TB_SIDECHAIN"))
  local capture = Session:new_audio_track(2, 2, nil, 1, "Capture", ARDOUR.PresentationInfo.max_order,
                                          ARDOUR.TrackMode.Normal, true):front()
  capture:input():disconnect_all(nil)
  for c = 0, 1 do assert(capture:input():audio(c):connect(stereo:output():audio(c):name()) == 0) end
  capture:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
  Session:maybe_enable_record(false)
  Session:request_locate(0, false, ARDOUR.LocateTransportDisposition.MustStop, ARDOUR.TransportRequestSource.TRS_UI)
  ARDOUR.LuaAPI.usleep(300000)
  Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  local started = os.time()
  while Session:transport_sample() < 2 * rate + frames and os.time() - started < 30 do ARDOUR.LuaAPI.usleep(50000) end
  Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  local stopped = os.time()
  while Session:transport_rolling() and os.time() - stopped < 10 do ARDOUR.LuaAPI.usleep(50000) end
  ARDOUR.LuaAPI.usleep(300000)
  for r in capture:playlist():region_list():iter() do
    for c = 0, 1 do say("bounce", "Capture", "sidechain", c, r:to_audioregion():source(c):to_filesource():path()) end
  end
  close_session()
else
  error("TB_PHASE is create, render, reopen or sidechain")
end
say("done", phase)
