-- Reelstop on an audio track in Ardour, with nothing connected to its MIDI input and "Stop"
-- driven by automation. Run by ardour_test.sh in ardour7-lua, in one of two modes:
--   make DIR URI CHANNELS   a 48 kHz session at 90 bpm: a track of CHANNELS channels playing a
--                           sine into the plug-in, a few settings moved from their defaults,
--                           "Stop" automated on from STOP_AT; saved and closed.
--   check DIR EXPORT_DIR    reopens it in this fresh process, checks that the settings came back,
--                           exports the master bus as 32-bit float and measures where the tape
--                           falls silent.
-- Every verdict is one line starting "ok" or "FAIL", and the last line says "done": the shell
-- script needs the one and no FAIL.

local RATE = 48000
local BPM = 90
local BEAT = RATE * 60 / BPM -- 32000 samples
local STOP_AT = 50000 -- 1.5625 beats: mid-beat, far from the half beat where "Auto" rounds
local SECONDS = 4
-- Ardour sends the song position in ticks of 1/1920 of a beat, so the plug-in's beat lines may
-- sit up to one tick (16.7 samples here) off the true ones.
local TICK = BEAT / 1920
-- Settings that leave the "Auto" stop as it is, each at a value a 32-bit port holds exactly.
local SETTINGS = { ["Stop Time"] = 1234.5, ["Ramp"] = 2, ["Turn"] = 1, ["Ease In"] = 0.25 }
local TRACK = "Tape"

local mode, dir = arg[1], arg[2]

local function verdict(ok, text)
	print((ok and "ok: " or "FAIL: ") .. text)
end

-- The plug-in's parameter of that name: its number and its control.
local function parameter(proc, name)
	for n = 0, 63 do
		local al, cl, pd = ARDOUR.LuaAPI.plugin_automation(proc, n)
		if al:isnil() then break end
		if pd.label == name then
			local param = Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, n)
			return n, proc:to_automatable():automation_control(param, false), cl
		end
	end
	error("no parameter " .. name)
end

-- The first channel of a 32-bit float WAV file, as a Lua array.
local function read_float_wav(path)
	local file = assert(io.open(path, "rb"))
	local bytes = file:read("a")
	file:close()
	local format, channels = string.unpack("<I2I2", bytes, 21)
	local bits = string.unpack("<I2", bytes, 35)
	assert(bytes:sub(1, 4) == "RIFF" and bytes:sub(13, 16) == "fmt " and format == 3 and bits == 32,
		path .. " is not a 32-bit float WAV file")
	local pos = 13
	while pos + 8 <= #bytes do
		local id, size = string.unpack("<c4I4", bytes, pos)
		if id == "data" then
			local samples = {}
			local step = 4 * channels
			for at = pos + 8, pos + 8 + size - step, step do
				samples[#samples + 1] = string.unpack("<f", bytes, at)
			end
			return samples
		end
		pos = pos + 8 + size + size % 2
	end
	error("no data in " .. path)
end

if mode == "make" then
	local uri, channels = arg[3], tonumber(arg[4])
	assert(create_session(dir, "reelstop", RATE), "cannot create the session")
	local tempo = Temporal.TempoMap.fetch_writable()
	tempo:set_tempo(Temporal.Tempo(BPM, BPM, 4), Temporal.timepos_t(0))
	Temporal.TempoMap.update(tempo)

	local track = Session:new_audio_track(channels, 2, nil, 1, TRACK, ARDOUR.PresentationInfo.max_order,
		ARDOUR.TrackMode.Normal, true):front()
	local sine = ARDOUR.LuaAPI.new_plugin(Session, "SinGen", ARDOUR.PluginType.Lua, "")
	assert(not sine:isnil(), "no sine generator")
	assert(track:add_processor_by_index(sine, 0, nil, true) == 0)
	local tape = ARDOUR.LuaAPI.new_plugin(Session, uri, ARDOUR.PluginType.LV2, "")
	assert(not tape:isnil(), "no plug-in " .. uri)
	assert(track:add_processor_by_index(tape, 1, nil, true) == 0)

	for name, value in pairs(SETTINGS) do
		ARDOUR.LuaAPI.set_processor_param(tape, (parameter(tape, name)), value)
	end
	local _, stop, points = parameter(tape, "Stop")
	points:add(Temporal.timepos_t(0), 0, false, true)
	points:add(Temporal.timepos_t(STOP_AT - 1), 0, false, true)
	points:add(Temporal.timepos_t(STOP_AT), 1, false, true)
	stop:set_automation_state(ARDOUR.AutoState.Play)

	assert(Session:save_state("", false, false, false, false, false) == 0, "cannot save the session")
	close_session()
elseif mode == "check" then
	local export_dir = arg[3]
	assert(load_session(dir, "reelstop"), "cannot reopen the session")
	local track = Session:route_by_name(TRACK)
	assert(not track:isnil(), "no track after reopening")
	local tape = track:nth_plugin(1)
	assert(not tape:isnil(), "no plug-in after reopening")

	for name, value in pairs(SETTINGS) do
		local n = parameter(tape, name)
		local now = ARDOUR.LuaAPI.get_processor_param(tape, n)
		verdict(now == value, string.format("%s reopened as %s (saved %s)", name, tostring(now), tostring(value)))
	end
	local _, stop = parameter(tape, "Stop")
	verdict(stop:automation_state() == ARDOUR.AutoState.Play, "the Stop automation plays after reopening")

	local export = Session:simple_export()
	assert(export:set_preset("5d0e3f7a-8c21-4b6e-a4f9-1e2d3c4b5a69"), "no export preset")
	export:set_range(0, SECONDS * RATE)
	export:set_folder(export_dir)
	export:set_name("tape")
	assert(export:run_export(), "the export failed")
	close_session()

	-- The tape, stopped, plays exact zeros: the silence starts after the last sample of sound.
	local samples = read_float_wav(export_dir .. "/tape.wav")
	verdict(#samples == SECONDS * RATE, string.format("%d frames exported", #samples))
	local last_sound = 0
	for i = #samples, 1, -1 do
		if samples[i] ~= 0.0 then
			last_sound = i
			break
		end
	end
	local silence = last_sound -- 1-based index of the last sound is the 0-based first silent frame
	local sound_before = 0
	for i = 1, STOP_AT do
		if samples[i] ~= 0.0 then sound_before = sound_before + 1 end
	end
	verdict(sound_before > STOP_AT * 0.99, string.format("%d of %d frames before the stop sound", sound_before, STOP_AT))
	-- "Auto": the whole beat nearest one beat after the stop began.
	local beat_line = math.floor(STOP_AT / BEAT + 1 + 0.5) * BEAT
	verdict(math.abs(silence - beat_line) <= TICK, string.format(
		"the stop falls silent at frame %d, %d from the beat line at %d", silence, silence - beat_line, beat_line))
else
	error("mode make or check")
end
print("done")
