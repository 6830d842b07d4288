-- Drives Ardour headless (ardour7-lua, dummy audio back end) for ArdourTest.cpp, one phase per
-- run, chosen by TB_PHASE; the session lives in TB_SESSION_DIR. Everything it reports goes to
-- standard output as lines "<what> <track> ..." that the test reads.
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
ARDOUR.config():set_hide_dummy_backend(false)

local function say(...)
  local t = {}
  for i, v in ipairs({...}) do t[i] = tostring(v) end
  io.stdout:write(table.concat(t, "\t") .. "\n")
  io.stdout:flush()
end

local phase = os.getenv("TB_PHASE")
local dir = os.getenv("TB_SESSION_DIR")
local frames = tonumber(os.getenv("TB_FRAMES"))
local rate = 48000
local tracks = { { name = "Stereo", channels = 2, uri = "urn:vantorell:tollenbrook:stereo", settings = "TB_STEREO" },
                 { name = "Mono", channels = 1, uri = "urn:vantorell:tollenbrook:mono", settings = "TB_MONO" },
                 { name = "Key", channels = 1 } }

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no dummy back end")

-- The plug-in's input controls by label, numbered as Ardour's processor parameters (which
-- count every control port, outputs too).
local function controls(proc)
  local plug = proc:to_insert():plugin(0)
  local list, n = {}, 0
  for i = 0, plug:parameter_count() - 1 do
    if plug:parameter_is_control(i) then
      if plug:parameter_is_input(i) then list[#list + 1] = { label = plug:parameter_label(i), index = n } end
      n = n + 1
    end
  end
  return list
end

local function apply(proc, settings)
  for name, value in string.gmatch(settings or "", "([^=;]+)=([^;]+)") do
    local found = false
    for _, c in ipairs(controls(proc)) do
      if c.label == name then
        assert(ARDOUR.LuaAPI.set_processor_param(proc, c.index, tonumber(value)), name)
        found = true
      end
    end
    assert(found, "no control " .. name)
  end
end

local function report_controls(route)
  local proc = route:nth_plugin(0)
  for _, c in ipairs(controls(proc)) do
    local value = ARDOUR.LuaAPI.get_processor_param(proc, c.index, true)
    say("control", route:name(), c.label, value)
  end
end

local function bounce(route, label)
  local last = rate + frames + 4096  -- past the region by more than any latency
  local region = route:bounce_range(0, last, ARDOUR.InterThreadInfo(), route:main_outs(), false, label)
  assert(not region:isnil(), "bounce failed")
  for c = 0, route:n_outputs():n_audio() - 1 do
    say("bounce", route:name(), label, c, region:source(c):to_filesource():path())
  end
end

local function route(name)
  local r = Session:route_by_name(name)
  assert(not r:isnil(), "no track " .. name)
  return r:to_track()
end

if phase == "create" then
  assert(create_session(dir, "session", rate), "cannot create the session")
  for _, t in ipairs(tracks) do
    local list = Session:new_audio_track(t.channels, t.channels, nil, 1, t.name,
                                         ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
    local track = list:front()
    -- A new track's output is not connected to the master bus on its own here.
    track:output():disconnect_all(nil)
    local master = Session:master_out():input()
    for c = 0, track:n_outputs():n_audio() - 1 do
      track:output():audio(c):connect(master:audio(math.min(c, master:n_ports():n_audio() - 1)):name())
    end
    -- Ardour's own file writer makes the region and its sources; the test fills them.
    local region = track:bounce_range(0, frames, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false,
                                      t.name .. "-in")
    -- Without fades: the region plays exactly the samples of its files.
    region:to_audioregion():set_fade_in_active(false)
    region:to_audioregion():set_fade_out_active(false)
    track:playlist():add_region(region, Temporal.timepos_t(rate), 1, false, 0, 0, false)
    for c = 0, t.channels - 1 do say("source", t.name, c, region:source(c):to_filesource():path()) end
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
