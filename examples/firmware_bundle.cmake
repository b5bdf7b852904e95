# Writes the files of the demo firmware bundle into OUT_DIR: a golden and a default bitfile
# (the sample bitfile with two signatures of their own), an adapter FPGA image whose first
# four bytes, "AAAA", are the revision it reports (0x41414141), and the manifest listing them
# with empty digests for zy-mkbundle --fill-digests.
file(READ ${SAMPLE_BITFILE} sample)
string(REPLACE "5A0C3F9B17E24D6880A1B2C3D4E5F601" "0A1DE0000000000000000000000000A1" golden
               "${sample}")
string(REPLACE "5A0C3F9B17E24D6880A1B2C3D4E5F601" "DEFA0170000000000000000000000D01" default
               "${sample}")
file(WRITE ${OUT_DIR}/golden.bit "${golden}")
file(WRITE ${OUT_DIR}/default.bit "${default}")
file(WRITE ${OUT_DIR}/oam0.bin "AAAA adapter FPGA image of the demo bundle")
file(WRITE ${OUT_DIR}/manifest.json [=[
{"version": 3, "firmwares": {"ostrel-7976": [
  {"name": "golden_image", "version": 1, "path": "fpga/golden.bit", "sha256sum": "",
   "type": "bitfile", "board": "base", "identifier": "golden_image"},
  {"name": "oam0", "version": 1, "path": "oam/oam0.bin", "sha256sum": "",
   "type": "oamFpgaFlash", "board": "oam", "identifier": "oam0",
   "oam_fpga_flash_info": {"fpga_index": 0, "fpga_image_crc_high": 0,
                           "fpga_image_crc_low": 0, "fpga_image_revision": 1094795585}},
  {"name": "default_bitfile", "version": 1, "path": "fpga/default.bit", "sha256sum": "",
   "type": "bitfile", "board": "base", "identifier": "default_bitfile", "defaultload": true}
]}}
]=])
