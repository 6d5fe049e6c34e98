#pragma once

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace lunetta {

/// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
/// setjmp of the stage that called into the library, with the library's words in `message`.
/// Warnings are noted, never printed.
struct JpegErrors {
  jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it points to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool dataEnded;           // a decode read past the end of its data
  bool dataEndedInSegment;  // ... and before the last row of blocks of the scan it was reading
};

/// Points libjpeg at `errors`; the result goes in the job's `err`.
inline jpeg_error_mgr* InstallJpegErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.pub);
  manager->error_exit = [](j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
  };
  manager->emit_message = [](j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (level >= 0) {
      return;
    }
    if (info->err->msg_code == JWRN_HIT_MARKER) {
      errors->dataEndedInSegment = true;
    }
    // The source ran out. In the last row of blocks of a scan, or between scans, that may be a
    // file that only lacks its end marker: arithmetic decoders read a little ahead, and the coded
    // data may leave out its trailing zeros. Earlier, the scan was cut.
    if (info->err->msg_code == JWRN_JPEG_EOF && info->is_decompressor) {
      const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
      errors->dataEnded = true;
      if (decompress->input_iMCU_row + 1 < decompress->total_iMCU_rows) {
        errors->dataEndedInSegment = true;
      }
    }
  };
  manager->output_message = [](j_common_ptr) {};
  return manager;
}

}  // namespace lunetta
