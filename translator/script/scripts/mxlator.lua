-- The library's error translator. getStaticDesc finds the fixed description of a status code
-- in error tables and error description files; getDynamicDesc turns the usage items of an
-- elaboration into the json1 report, translating usage keys through the term tables and
-- attribute identifiers and enumeration values through the driver's attribute table.
--
-- Settings (zyxlatorlua_settings, from the registration information): "driverName" names
-- the attribute tables, "zySharedErrorsDir" is the shared errors directory and
-- "MIErrorsDir" holds per-driver error directories; the directories may use path variables.
local cjson = require("cjson")
local utils = require("zyxlatorluautils")
local zymxl = require("zymxl_utilities")

local mxlator = {}

-- Index = application environment number + 1.
mxlator.Ades = { "none", "wb", "pellet", "quarry" }
-- Index = language number + 1.
mxlator.ThreeLetterLngStrings = zymxl.ThreeLetterLngStrings

-- Usages whose value is an attribute identifier, shown by the attribute's name.
local attributeIdUsages = {
    kUsageTypeAttributeId = true,
    kUsageTypeAttributeIdentifier = true,
    kUsageTypeAffectedAttribute = true,
    kUsageTypeConflictingAttr = true,
    kUsageTypeConflictingProperty = true,
    kUsageTypeUnspecifiedProperty = true,
}

local function settings()
    return zyxlatorlua_settings or {}
end

-- A term, error or attribute table module, or nil when it cannot be required. A table that
-- is not UTF-8 is an error: its texts could not be passed on.
local function loadTable(moduleName)
    local loaded, module = pcall(require, moduleName)
    if not loaded or type(module) ~= "table" then
        return nil
    end
    if module.encoding ~= "utf-8" then
        error("Unsupported encoding", 0)
    end
    return module
end

local function expandSetting(name)
    local value = settings()[name]
    if type(value) ~= "string" then
        return nil
    end
    return utils.expandPath(zyxlatorlua_name or "", value)
end

-- Runs search under pcall: a script error in a search counts as finding nothing.
local function search(fn, ...)
    local ok, description = pcall(fn, ...)
    if ok and type(description) == "string" and description ~= "" then
        return description
    end
    return nil
end

local function fromErrorTable(lng, code)
    local errorTable = loadTable("errors_" .. lng)
    if errorTable == nil and lng ~= "eng" then
        errorTable = loadTable("errors_eng")
    end
    if errorTable == nil then
        return nil
    end
    return errorTable.getString(code)
end

local function fromDriverErrorsDir(languageDir, code)
    local driverName = settings().driverName
    local base = expandSetting("MIErrorsDir")
    if type(driverName) ~= "string" or base == nil then
        return nil
    end
    local separator = string.sub(package.config, 1, 1)
    local directory = base .. separator .. driverName .. separator
    local description = nil
    if languageDir ~= nil then
        description = search(utils.findErrorDescriptionFromDir, directory .. languageDir, code)
    end
    if description == nil and languageDir ~= "English" then
        description = search(utils.findErrorDescriptionFromDir, directory .. "English", code)
    end
    return description
end

function mxlator.getStaticDesc(code, lang, ade)
    local lng = zymxl.threeLetterCode(lang)
    local languageDir = zymxl.longName(lng)
    code = zymxl_unmapErrorCode(code)
    local ok, errorsDir = pcall(expandSetting, "zySharedErrorsDir")
    if not ok then
        errorsDir = nil
    end

    local description = search(fromErrorTable, lng, code)
        or search(fromDriverErrorsDir, languageDir, code)
    if description == nil and errorsDir ~= nil then
        description = search(utils.findErrorDescriptionFromErrorsDir, errorsDir, code, lang)
        -- English is the fallback; when it was the language asked for, it has been searched.
        if description == nil and lang ~= 0 then
            description = search(utils.findErrorDescriptionFromErrorsDir, errorsDir, code, 0)
        end
    end
    return description or "Error description not found"
end

-- The attribute table of the driver for the language and environment, first that loads;
-- nil and the text of the failure when not even the default table loads.
local function loadAttributeTable(lng, ade)
    local candidates = {}
    local driverName = settings().driverName
    if type(driverName) == "string" then
        local environment = mxlator.Ades[ade + 1]
        local prefix = driverName .. "_attributes_"
        if ade ~= 0 and environment ~= nil then
            candidates[#candidates + 1] = prefix .. lng .. "_" .. environment
            if lng ~= "eng" then
                candidates[#candidates + 1] = prefix .. "eng_" .. environment
            end
        end
        candidates[#candidates + 1] = prefix .. lng
        if lng ~= "eng" then
            candidates[#candidates + 1] = prefix .. "eng"
        end
    end
    candidates[#candidates + 1] = "zymxl_defaultAttrTable"
    for _, name in ipairs(candidates) do
        local attributeTable = loadTable(name)
        if attributeTable ~= nil then
            return attributeTable, ""
        end
    end
    return nil, "Cannot load " .. candidates[#candidates] .. "\n"
end

local function loadTermTable(lng)
    return loadTable("commonTerms_" .. lng) or loadTable("commonTerms_eng")
end

-- Elaborations carry numbers as JSON numbers or as decimal strings.
local function asInteger(value)
    local number = tonumber(value)
    if number == nil or number ~= math.floor(number) then
        return nil
    end
    return number
end

local function displayText(value)
    if value == cjson.null then
        return "null"
    end
    return tostring(value)
end

local function lookupAttribute(attributeTable, id)
    local number = asInteger(id)
    if number == nil or number < 0 or number > 0xFFFFFFFF then
        return nil, nil
    end
    local key = string.format("%08X", number)
    if attributeTable == nil then
        return nil, key
    end
    return attributeTable.getAttribute(key), key
end

local function attributeName(attributeTable, value)
    local attribute, key = lookupAttribute(attributeTable, value)
    if attribute ~= nil and attribute.shortName ~= nil then
        return attribute.shortName
    end
    if key ~= nil then
        return "0x" .. key
    end
    return displayText(value)
end

local function enumName(attribute, value)
    local number = asInteger(value)
    if attribute ~= nil and type(attribute.enums) == "table" and number ~= nil then
        local name = attribute.enums[string.format("%d", number)]
        if name ~= nil then
            return name
        end
    end
    return displayText(value)
end

-- value (a scalar or an array of scalars) as a text or an array of texts, each element
-- through convert.
local function mapValue(value, convert)
    if type(value) ~= "table" then
        return convert(value)
    end
    local texts = {}
    for index, element in ipairs(value) do
        texts[index] = convert(element)
    end
    return texts
end

local function usageValue(element, attributeTable)
    local valueType = element.value_type
    if type(valueType) == "table" then
        if valueType.type == "enum" then
            local attribute = lookupAttribute(attributeTable, valueType.id)
            return mapValue(element.value, function(v)
                return enumName(attribute, v)
            end)
        end
        return mapValue(element.value, displayText)
    end
    if attributeIdUsages[element.usage] then
        return mapValue(element.value, function(v)
            return attributeName(attributeTable, v)
        end)
    end
    return mapValue(element.value, displayText)
end

-- The JSON texts are assembled here rather than by cjson.encode, which writes an empty
-- array as an object ("{}"): a report without usage items, or an empty value list, would
-- not be the arrays the json1 format requires. Members keep the order type, key, value.
local function encodeValue(value)
    if type(value) ~= "table" then
        return cjson.encode(value)
    end
    local elements = {}
    for index, element in ipairs(value) do
        elements[index] = cjson.encode(element)
    end
    return "[" .. table.concat(elements, ",") .. "]"
end

local function encodeItem(item)
    local members = { '"type":' .. cjson.encode(item.type) }
    if item.key ~= nil then
        members[#members + 1] = '"key":' .. cjson.encode(item.key)
    end
    if item.value ~= nil then
        members[#members + 1] = '"value":' .. encodeValue(item.value)
    end
    return "{" .. table.concat(members, ",") .. "}"
end

local function encodeItems(items)
    local encoded = {}
    for index, item in ipairs(items) do
        encoded[index] = encodeItem(item)
    end
    return "[" .. table.concat(encoded, ",") .. "]"
end

local function dynamicItems(errorContext, terms, attributeTable)
    local function term(key)
        if terms ~= nil and key ~= nil then
            local text = terms.getString(key)
            if text ~= nil then
                return text
            end
        end
        return key
    end

    local items = {}
    local info = errorContext.translator_info
    local orderedData = type(info) == "table" and info.ordered_data or nil
    if type(orderedData) ~= "table" then
        return items
    end
    for _, element in ipairs(orderedData) do
        if type(element) == "table" then
            local kind = element.type
            if kind == "usage" then
                items[#items + 1] = {
                    type = "usage",
                    key = term(element.usage),
                    value = usageValue(element, attributeTable),
                }
            elseif kind == "elaboration" or kind == "header" then
                items[#items + 1] = { type = kind, value = term(element.usage) }
            elseif kind == "empty" then
                items[#items + 1] = { type = "empty" }
            end
        end
    end
    return items
end

local function debugItems(errorContext, internalError)
    local items = {}
    local function add(key, value)
        items[#items + 1] = { type = "usage", key = key, value = value }
    end
    if errorContext.component ~= nil then
        add("Component", displayText(errorContext.component))
    end
    if errorContext.file ~= nil then
        add("File", displayText(errorContext.file))
    end
    if errorContext.line ~= nil then
        add("Line", displayText(errorContext.line))
    end
    if internalError ~= "" then
        add("internal_error_string", internalError)
    end
    local rest = {}
    for key, value in pairs(errorContext) do
        rest[key] = value
    end
    rest.translator_info = nil
    rest.component = nil
    rest.file = nil
    rest.line = nil
    add("rest_of_input_json", cjson.encode(rest))
    return items
end

function mxlator.getDynamicDesc(errjson, lang, ade, format)
    if format ~= "json1" then
        return -52029
    end
    local errorContext = cjson.decode(errjson)
    if type(errorContext) ~= "table" then
        error("the elaboration is not a JSON object", 0)
    end
    local lng = zymxl.threeLetterCode(lang)
    local attributeTable, internalError = loadAttributeTable(lng, tonumber(ade) or 0)
    local terms = loadTermTable(lng)

    local dynamic = dynamicItems(errorContext, terms, attributeTable)
    local debug = debugItems(errorContext, internalError)
    return '{"dynamic":' .. encodeItems(dynamic) .. ',"debug":' .. encodeItems(debug) .. "}"
end

return mxlator
