-- Run by tools/check-in-ardour.sh inside ardour7-lua: puts Marrowtone on a
-- track of a new session, sets Wow, saves, reopens and reads Wow back.
local folder, name = os.getenv ("SESSION_DIR"), "marrowtone"
local wowNormalised = 0.425   -- the host sets VST3 parameters in 0..1

AudioEngine:set_backend ("None (Dummy)", "", "")
assert (AudioEngine:start (false) == 0, "the Dummy backend did not start")

local function wowIndex (insert)
    local plugin = insert:plugin (0)
    for i = 0, plugin:parameter_count () - 1 do
        if plugin:parameter_is_control (i) and plugin:parameter_is_input (i)
           and plugin:parameter_label (i) == "Wow" then
            return i
        end
    end
    error ("Marrowtone has no Wow parameter")
end

local session = create_session (folder, name, 48000)
assert (session, "could not create the session")
local track = session:new_audio_track (2, 2, nil, 1, "Tape", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true):front ()
local processor = ARDOUR.LuaAPI.new_plugin (session, "Marrowtone", ARDOUR.PluginType.VST3, "")
assert (not processor:isnil (), "Ardour does not know Marrowtone")
assert (track:add_processor_by_index (processor, 0, nil, true) == 0, "could not insert Marrowtone")

local insert = processor:to_plugininsert ()
local wow = wowIndex (insert)
ARDOUR.LuaAPI.set_plugin_insert_param (insert, wow, wowNormalised)
session:save_state ("", false, false, false, false, false)
close_session ()

session = load_session (folder, name)
assert (session, "could not reopen the session")
local reopened = session:route_by_name ("Tape"):nth_plugin (0)
assert (not reopened:isnil (), "Marrowtone is gone from the reopened session")
local restored = ARDOUR.LuaAPI.get_plugin_insert_param (reopened:to_plugininsert (), wow, false)
print ("Wow set to " .. wowNormalised .. ", reopened as " .. restored)
assert (math.abs (restored - wowNormalised) < 1e-4, "Wow was not restored")
print ("Wow restored")

-- Closing a reopened session hangs Ardour 7.3's headless runner (its
-- graph waits for the Dummy backend's process thread for ever), so leave.
os.exit (0)
