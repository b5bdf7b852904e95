-- Bootstrap of a script translator: the host requires this module, then calls
-- zyxlatorlua_setupEnv with the translator's name and registration information, which loads
-- the translator module named there into zyxlatorlua_xlator. The host calls that module's
-- getStaticDesc and getDynamicDesc with zyxlatorlua_errHandler as message handler.
local json = require("json")
require("stdint")
local utils = require("zyxlatorluautils")

zyxlatorlua_name = nil
zyxlatorlua_xlator = nil
zyxlatorlua_settings = {}

function zyxlatorlua_errHandler(message)
    return tostring(message) .. "\n" .. debug.traceback()
end

-- package.path from the registration's "zyxlatorlua_path": directories separated by
-- semicolons, each with path variables expanded. Without it only the embedded modules can
-- be required.
local function modulePath(name, searchPath)
    if searchPath == nil then
        return ""
    end
    local patterns = {}
    for directory in string.gmatch(searchPath, "[^;]+") do
        directory = string.gsub(utils.expandPath(name, directory), "\\", "/")
        if string.sub(directory, -1) ~= "/" then
            directory = directory .. "/"
        end
        patterns[#patterns + 1] = directory .. "?.lua"
    end
    return table.concat(patterns, ";")
end

function zyxlatorlua_setupEnv(name, registrationInfo)
    local info, _, message = json.decode(registrationInfo)
    if type(info) ~= "table" then
        error("registration information is not a JSON object: " .. tostring(message), 0)
    end
    zyxlatorlua_name = name
    package.path = modulePath(name, info.zyxlatorlua_path)
    -- Translators are scripts only: no native module may be loaded from the file system.
    package.cpath = ""
    zyxlatorlua_xlator = require(info.zyxlatorlua_xlator)
    if info.zyxlatorlua_settings ~= nil then
        zyxlatorlua_settings = info.zyxlatorlua_settings
    end
end
