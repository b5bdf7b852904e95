-- The attribute table used when a driver has none: it knows no attribute, so descriptions
-- show attribute identifiers as hexadecimal numbers.
local defaultAttrTable = { encoding = "utf-8" }

function defaultAttrTable.getAttribute(id)
    return nil
end

return defaultAttrTable
