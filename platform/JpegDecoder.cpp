#include "JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

// libjpeg's header wants size_t and FILE declared before it.
#include <jpeglib.h>

#include "BoundedFile.h"
#include "PictureLoader.h"

namespace {

// Everything one decoding needs, in one block the C callbacks reach from
// the decoder's own structures (its client data points to it; the first
// members of the error manager and the source are libjpeg's, so a pointer
// to one is a pointer to the other). All of it is plain data, zeroed when
// made.
struct Failure {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct Source {
    jpeg_source_mgr pub;
    BoundedFile* file;
    bool inHead;  // the headers are being read, up to the first scan's
    bool ended;   // the file's end (or its bound) was met, and an end marker given in its place
    qint64 read;  // bytes given to the decoder so far
    JOCTET bytes[64 * 1024];
};

struct Progress {
    jpeg_progress_mgr pub;
    int scan;           // the last scan counted
    qint64 scanBlocks;  // the blocks of every scan begun so far
    qint64 headBytes;   // what the decoder had taken of the file at the first scan
};

struct Memory {
    // libjpeg's own request for a coefficient array, which we count first.
    jvirt_barray_ptr (*request)(j_common_ptr, int, boolean, JDIMENSION, JDIMENSION, JDIMENSION);
    qint64 coefficientBytes;  // asked for so far
    qint64 limit;
};

struct Decoding {
    jpeg_decompress_struct info;
    Failure failure;
    Source source;
    Progress progress;
    Memory memory;
    BoundedFile* file;
    uchar* pixels;  // the picture's buffer, four bytes a pixel, malloc'd
};

Decoding& DecodingOf(j_common_ptr info) { return *static_cast<Decoding*>(info->client_data); }

[[noreturn]] void Refuse(j_common_ptr info) { std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1); }

// Warnings (a damaged scan, a file cut short) are not shown: the decoder
// goes on with what it has, and each is the same on every load.
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

// --- The source: the file read forward in pieces, never read again.

void StartSource(j_decompress_ptr) {}

// The next piece of the file. Headers that do not end within the head's
// bound are refused; past the end of the scans (or their bound), an end
// marker, as libjpeg's own sources give, so a file cut short decodes what
// it holds.
boolean FillSource(j_decompress_ptr info) {
    Source& source = *reinterpret_cast<Source*>(info->src);
    qint64 got = source.ended ? 0 : source.file->read(reinterpret_cast<char*>(source.bytes), sizeof source.bytes);
    if (got <= 0 && source.inHead) Refuse(reinterpret_cast<j_common_ptr>(info));
    if (got <= 0) {
        source.ended = true;
        source.bytes[0] = 0xFF;
        source.bytes[1] = JPEG_EOI;
        got = 2;
    }
    source.read += got;
    source.pub.next_input_byte = source.bytes;
    source.pub.bytes_in_buffer = size_t(got);
    return TRUE;
}

// Segments the decoder has no use for (comments, application blocks) are
// passed over unread: what lies in the piece at hand is dropped, and the
// file moves on past the rest.
void SkipSource(j_decompress_ptr info, long count) {
    Source& source = *reinterpret_cast<Source*>(info->src);
    if (count <= 0) return;
    if (size_t(count) <= source.pub.bytes_in_buffer) {
        source.pub.next_input_byte += count;
        source.pub.bytes_in_buffer -= size_t(count);
        return;
    }
    const qint64 beyond = qint64(count) - qint64(source.pub.bytes_in_buffer);
    source.pub.bytes_in_buffer = 0;
    if (!source.ended && !source.file->seek(source.file->pos() + beyond)) source.ended = true;
}

void EndSource(j_decompress_ptr) {}

// --- The bounds, kept from inside the decoder.

qint64 BytesTaken(const Source& source) { return source.read - qint64(source.pub.bytes_in_buffer); }

// The work of the decoding so far, as PictureLoader.h counts it: each scan
// a pass over every block of its components, counted as the scan begins,
// and each byte the scans take, counted as it is taken. The monitor is
// called for every row of blocks the decoder reads or of pixels it gives.
void CountWork(j_common_ptr common) {
    auto info = reinterpret_cast<j_decompress_ptr>(common);
    Decoding& d = DecodingOf(common);
    Progress& progress = d.progress;
    if (info->input_scan_number != progress.scan) {
        progress.scan = info->input_scan_number;
        for (int c = 0; c < info->comps_in_scan; ++c) {
            const jpeg_component_info* component = info->cur_comp_info[c];
            progress.scanBlocks += qint64(component->width_in_blocks) * component->height_in_blocks;
        }
    }
    const qint64 bytes = BytesTaken(d.source) - progress.headBytes;
    const qint64 work = progress.scanBlocks + (info->arith_code ? bytes * JpegArithmeticByteWork
                                                                 : bytes / JpegHuffmanBytesPerWork);
    if (progress.scan > MaxJpegScans || work > MaxJpegWork) Refuse(common);
}

// The coefficients of a file of more than one scan are kept whole until its
// last scan is in: libjpeg asks for them before it decodes, and is refused
// past the working bound.
jvirt_barray_ptr RequestCoefficients(j_common_ptr common, int pool, boolean zero, JDIMENSION blocksAcross,
                                     JDIMENSION rows, JDIMENSION rowsAtOnce) {
    Memory& memory = DecodingOf(common).memory;
    memory.coefficientBytes += qint64(blocksAcross) * rows * qint64(sizeof(JBLOCK));
    if (memory.coefficientBytes > memory.limit) Refuse(common);
    return memory.request(common, pool, zero, blocksAcross, rows, rowsAtOnce);
}

// --- The pixels.

// Grey comes out one byte a pixel at the tail of the picture's buffer, and
// is widened there in place once the decoder (and what it held) is gone;
// colour and CMYK come out four bytes a pixel where they stay.
bool IsGrey(const jpeg_decompress_struct& info) { return info.out_color_space == JCS_GRAYSCALE; }

qint64 PixelCount(const jpeg_decompress_struct& info) { return qint64(info.image_width) * info.image_height; }

uchar* RowOf(Decoding& d, JDIMENSION y) {
    const qint64 width = d.info.image_width;
    if (IsGrey(d.info)) return d.pixels + 3 * PixelCount(d.info) + width * y;
    return d.pixels + 4 * width * y;
}

// CMYK as its writers store it, each ink inverted: the colour of each pixel
// is its three first inks scaled by its fourth.
void CmykToRgbx(uchar* row, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, row += 4) {
        const int k = row[3];
        row[0] = uchar(row[0] * k / 255);
        row[1] = uchar(row[1] * k / 255);
        row[2] = uchar(row[2] * k / 255);
        row[3] = 0xFF;
    }
}

// Grey at the tail widened over the whole buffer. The tail starts three
// bytes a pixel in, so a pixel's four bytes are written only over grey that
// has already been read.
void WidenGrey(uchar* pixels, qint64 count) {
    const uchar* grey = pixels + 3 * count;
    for (qint64 i = 0; i < count; ++i) {
        const uchar value = grey[i];
        uchar* out = pixels + 4 * i;
        out[0] = out[1] = out[2] = value;
        out[3] = 0xFF;
    }
}

bool TakesColourSpace(jpeg_decompress_struct& info) {
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE: info.out_color_space = JCS_GRAYSCALE; return true;
    case JCS_YCbCr:
    case JCS_RGB: info.out_color_space = JCS_EXT_RGBX; return true;
    case JCS_CMYK:
    case JCS_YCCK: info.out_color_space = JCS_CMYK; return true;
    default: return false;
    }
}

// The decoding itself, up to the last row of pixels. Every failure inside
// libjpeg comes back here by a long jump, so nothing with a destructor
// lives in this frame or in any frame the jump passes over.
bool Decode(Decoding& d) {
    jpeg_decompress_struct& info = d.info;
    info.client_data = &d;
    info.err = jpeg_std_error(&d.failure.pub);
    d.failure.pub.error_exit = Refuse;
    d.failure.pub.emit_message = IgnoreMessage;
    d.failure.pub.output_message = IgnoreOutput;
    if (setjmp(d.failure.jump)) return false;
    jpeg_create_decompress(&info);

    d.source.pub.init_source = StartSource;
    d.source.pub.fill_input_buffer = FillSource;
    d.source.pub.skip_input_data = SkipSource;
    d.source.pub.resync_to_restart = jpeg_resync_to_restart;
    d.source.pub.term_source = EndSource;
    d.source.file = d.file;
    info.src = &d.source.pub;
    d.progress.pub.progress_monitor = CountWork;
    info.progress = &d.progress.pub;
    d.memory.request = info.mem->request_virt_barray;
    info.mem->request_virt_barray = RequestCoefficients;

    d.source.inHead = true;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    d.source.inHead = false;
    // A frame's sides are 16-bit numbers.
    const QSize size(int(info.image_width), int(info.image_height));
    if (!PictureSizeIsSafe(size) || !TakesColourSpace(info)) return false;
    d.progress.headBytes = BytesTaken(d.source);
    d.file->SetLimit(PictureReadLimit(size));
    // Grey leaves three bytes a pixel of the picture's buffer untouched
    // until the coefficients are gone; colour fills it all beside them.
    d.memory.limit = MaxJpegWorkingBytes + (IsGrey(info) ? 3 * PixelCount(info) : 0);

    d.pixels = static_cast<uchar*>(std::malloc(size_t(4 * PixelCount(info))));
    if (d.pixels == nullptr) return false;
    if (!jpeg_start_decompress(&info)) return false;
    if (info.output_width != info.image_width || info.output_height != info.image_height) return false;
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        JSAMPROW row = RowOf(d, y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
        if (info.out_color_space == JCS_CMYK) CmykToRgbx(row, info.output_width);
    }
    return true;
}

void FreePixels(void* pixels) { std::free(pixels); }

}  // namespace

QImage DecodeJpeg(BoundedFile& file) {
    const auto d = std::make_unique<Decoding>();
    d->file = &file;
    const bool decoded = Decode(*d);
    const bool grey = IsGrey(d->info);
    const int width = int(d->info.image_width), height = int(d->info.image_height);
    // What the decoder held goes before grey is widened over the buffer.
    jpeg_destroy_decompress(&d->info);
    if (!decoded) {
        std::free(d->pixels);
        return QImage();
    }
    if (grey) WidenGrey(d->pixels, qint64(width) * height);
    return QImage(d->pixels, width, height, qsizetype(width) * 4, QImage::Format_RGBX8888, FreePixels, d->pixels);
}
