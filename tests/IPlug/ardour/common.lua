-- What every Ardour session script of the tests shares: loaded first (dofile) by the LV2 and
-- VST3 scripts, it reads the run's environment (TB_PHASE, TB_SESSION_DIR, TB_FRAMES), selects
-- Ardour's dummy audio back end and defines the helpers below as globals.
ARDOUR.config():set_hide_dummy_backend(false)

-- One report line "<what>\t<field>...", flushed, so the test sees it even if Ardour fails later.
function say(...)
  local t = {}
  for i, v in ipairs({...}) do t[i] = tostring(v) end
  io.stdout:write(table.concat(t, "\t") .. "\n")
  io.stdout:flush()
end

phase = os.getenv("TB_PHASE")
dir = os.getenv("TB_SESSION_DIR")
frames = tonumber(os.getenv("TB_FRAMES"))
rate = 48000

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no dummy back end")

-- The plug-in's input controls by label, numbered as Ardour's processor parameters (which
-- count every control port, outputs too); `param` is the plug-in's own parameter number.
function controls(proc)
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

-- "Name=value;..." set through the controls, as a user's edits reach the plug-in.
function apply(proc, settings)
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

-- Every control's value of the route's first plug-in; with `with_texts` also the texts Ardour
-- offers for it (its scale points, in value order).
function report_controls(route, with_texts)
  local proc = route:nth_plugin(0)
  local plug = proc:to_insert():plugin(0)
  for _, c in ipairs(controls(proc)) do
    local value = ARDOUR.LuaAPI.get_processor_param(proc, c.index, true)
    say("control", route:name(), c.label, value)
    if with_texts then
      local _, args = plug:get_parameter_descriptor(c.param, ARDOUR.ParameterDescriptor())
      local points = {}
      for text, v in pairs(ARDOUR.LuaAPI.desc_scale_points(args[2])) do points[#points + 1] = { v = v, text = text } end
      table.sort(points, function(a, b) return a.v < b.v end)
      for _, p in ipairs(points) do say("text", route:name(), c.label, p.v, p.text) end
    end
  end
end

-- The route's output with processing, into new files named after `label`.
function bounce(route, label)
  local last = rate + frames + 4096  -- past the region by more than any latency
  local region = route:bounce_range(0, last, ARDOUR.InterThreadInfo(), route:main_outs(), false, label)
  assert(not region:isnil(), "bounce failed")
  for c = 0, route:n_outputs():n_audio() - 1 do
    say("bounce", route:name(), label, c, region:source(c):to_filesource():path())
  end
end

function route(name)
  local r = Session:route_by_name(name)
  assert(not r:isnil(), "no track " .. name)
  return r:to_track()
end

-- A new track of `channels` named `name`, its output on the master bus, holding a region of
-- `frames` frames at one second whose files the test fills (reported as "source" lines).
function new_track_with_region(name, channels)
  local track = Session:new_audio_track(channels, channels, nil, 1, name, ARDOUR.PresentationInfo.max_order,
                                        ARDOUR.TrackMode.Normal, true):front()
  -- A new track's output is not connected to the master bus on its own here.
  track:output():disconnect_all(nil)
  local master = Session:master_out():input()
  for c = 0, track:n_outputs():n_audio() - 1 do
    track:output():audio(c):connect(master:audio(math.min(c, master:n_ports():n_audio() - 1)):name())
  end
  -- Ardour's own file writer makes the region and its sources.
  local region = track:bounce_range(0, frames, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false, name .. "-in")
  -- Without fades: the region plays exactly the samples of its files.
  region:to_audioregion():set_fade_in_active(false)
  region:to_audioregion():set_fade_out_active(false)
  track:playlist():add_region(region, Temporal.timepos_t(rate), 1, false, 0, 0, false)
  for c = 0, channels - 1 do say("source", name, c, region:source(c):to_filesource():path()) end
  return track
end
