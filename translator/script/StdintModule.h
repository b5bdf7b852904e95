// The "stdint" script module: 64-bit integers for the translator scripts, whose own numbers
// are doubles and lose the low bits of values such as register addresses and sample counts.
//
// stdint.u64(x) and stdint.i64(x) make full userdata of 8 bytes with the metatables "u64" and
// "i64": arithmetic wraps modulo 2^64, comparison is unsigned or signed, tostring prints the
// decimal value and v:hexstring() the 64 bits in lower-case hexadecimal.
#pragma once

struct lua_State;

namespace zyxlator::script {

// Opens the module: registers the two metatables and the table "stdint" (also its global and
// package.loaded entry) and leaves that table on the stack. A lua_CFunction; it raises only
// for lack of memory.
int openStdint(lua_State* state);

}  // namespace zyxlator::script
