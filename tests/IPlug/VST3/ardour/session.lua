-- Drives Ardour headless (ardour7-lua, dummy audio back end) for ArdourTest.cpp, one phase per
-- run, chosen by TB_PHASE; the session lives in TB_SESSION_DIR, the bundle is found through
-- VST3_PATH. Everything it reports goes to standard output as lines "<what> <track> ..." that
-- the test reads.
--   create  a session at 48 kHz with the track "Stereo" holding a placeholder region of
--           TB_FRAMES frames at one second (the test writes its audio into the region's
--           files), Tollenbrook's VST3 on it with the settings of TB_SETTINGS ("Name=value;...",
--           values as Ardour's controls take them), output connected to the master bus; every
--           parameter with its text; saved and closed.
--   render  the track bounced with processing, then with the plug-in switched off by the host;
--           every control's value; saved and closed.
--   reopen  the saved session opened again: every control's value and a bounce.
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

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no dummy back end")

-- The plug-in's input controls by label, numbered as Ardour's processor parameters.
local function controls(proc)
  local plug = proc:to_insert():plugin(0)
  local list, n = {}, 0
  for i = 0, plug:parameter_count() - 1 do
    if plug:parameter_is_control(i) then
      if plug:parameter_is_input(i) then list[#list + 1] = { label = plug:parameter_label(i), index = n, param = i } end
      n = n + 1
    end
  end
  return list
end

local function report_controls(route, with_texts)
  local proc = route:nth_plugin(0)
  local plug = proc:to_insert():plugin(0)
  for _, c in ipairs(controls(proc)) do
    local value = ARDOUR.LuaAPI.get_processor_param(proc, c.index, true)
    say("control", route:name(), c.label, value)
    if with_texts then
      -- The texts Ardour offers for the control: its scale points, in value order.
      local _, args = plug:get_parameter_descriptor(c.param, ARDOUR.ParameterDescriptor())
      local points = {}
      for text, v in pairs(ARDOUR.LuaAPI.desc_scale_points(args[2])) do points[#points + 1] = { v = v, text = text } end
      table.sort(points, function(a, b) return a.v < b.v end)
      for _, p in ipairs(points) do say("text", route:name(), c.label, p.v, p.text) end
    end
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

local function track()
  local r = Session:route_by_name("Stereo")
  assert(not r:isnil(), "no track")
  return r:to_track()
end

if phase == "create" then
  assert(create_session(dir, "session", rate), "cannot create the session")
  local t = Session:new_audio_track(2, 2, nil, 1, "Stereo", ARDOUR.PresentationInfo.max_order,
                                    ARDOUR.TrackMode.Normal, true):front()
  -- A new track's output is not connected to the master bus on its own here.
  t:output():disconnect_all(nil)
  local master = Session:master_out():input()
  for c = 0, 1 do t:output():audio(c):connect(master:audio(c):name()) end
  -- Ardour's own file writer makes the region and its sources; the test fills them.
  local region = t:bounce_range(0, frames, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false, "Stereo-in")
  region:to_audioregion():set_fade_in_active(false)
  region:to_audioregion():set_fade_out_active(false)
  t:playlist():add_region(region, Temporal.timepos_t(rate), 1, false, 0, 0, false)
  for c = 0, 1 do say("source", "Stereo", c, region:source(c):to_filesource():path()) end
  local proc = ARDOUR.LuaAPI.new_plugin(Session, "Tollenbrook", ARDOUR.PluginType.VST3, "")
  assert(not proc:isnil(), "no VST3 plug-in Tollenbrook")
  assert(t:add_processor_by_index(proc, 0, nil, true) == 0)
  for name, value in string.gmatch(os.getenv("TB_SETTINGS") or "", "([^=;]+)=([^;]+)") do
    local found = false
    for _, c in ipairs(controls(proc)) do
      if c.label == name then
        assert(ARDOUR.LuaAPI.set_processor_param(proc, c.index, tonumber(value)), name)
        found = true
      end
    end
    assert(found, "no control " .. name)
  end
  -- The settings reach the processing through the engine's next cycles, as in a running session.
  ARDOUR.LuaAPI.usleep(200000)
  report_controls(t, true)
  Session:save_state("", false, false, false, false, false)
  close_session()
elseif phase == "render" or phase == "reopen" then
  assert(load_session(dir, "session"), "cannot load the session")
  ARDOUR.LuaAPI.usleep(200000)
  if phase == "render" then
    bounce(track(), "processed")
    local pi = track():nth_plugin(0):to_insert()
    pi:enable(false)
    ARDOUR.LuaAPI.usleep(100000)
    bounce(track(), "bypassed")
    pi:enable(true)
  else
    bounce(track(), "reopened")
  end
  report_controls(track(), false)
  Session:save_state("", false, false, false, false, false)
  close_session()
else
  error("TB_PHASE is create, render or reopen")
end
say("done", phase)
