// zlib's inflate over a File, member after member. The compressed bytes are
// read in blocks of their own, so the caller's reads can be of any size.
#include "support/gzip_file.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace zentrak {
namespace {

constexpr size_t kInputBlock = size_t{64} << 10;
constexpr uint64_t kRatioSlack = uint64_t{1} << 20;

}  // namespace

struct GzipFile::Stream {
  z_stream z{};
  bool ready = false;
  bool betweenMembers = true;
  bool memberSeen = false;
  std::array<unsigned char, kInputBlock> input{};
};

GzipFile::GzipFile(std::unique_ptr<File> compressed, uint64_t maxRatio)
    : compressed_(std::move(compressed)), stream_(std::make_unique<Stream>()), maxRatio_(maxRatio) {
  // 16 + 15: a gzip header and the largest window.
  stream_->ready = inflateInit2(&stream_->z, 16 + MAX_WBITS) == Z_OK;
  if (!stream_->ready) {
    stop_ = GzipStop::kDamaged;
    done_ = true;
  }
}

GzipFile::~GzipFile() {
  if (stream_->ready) inflateEnd(&stream_->z);
}

bool GzipFile::Fill() {
  z_stream& z = stream_->z;
  size_t keep = z.avail_in;
  if (keep > 0 && z.next_in != stream_->input.data()) {
    std::memmove(stream_->input.data(), z.next_in, keep);
  }
  size_t room = stream_->input.size() - keep;
  size_t got = inputEnd_
                   ? 0
                   : compressed_->Read(reinterpret_cast<char*>(stream_->input.data()) + keep, room);
  if (got < room) {
    inputEnd_ = true;
    if (compressed_->ReadFailed()) readFailed_ = true;
  }
  consumed_ += got;
  z.next_in = stream_->input.data();
  z.avail_in = static_cast<uInt>(keep + got);
  return got > 0;
}

// Past the end of a member: padding, another member, or bytes that are neither.
bool GzipFile::NextMember() {
  z_stream& z = stream_->z;
  for (;;) {
    while (z.avail_in > 0 && *z.next_in == 0) {
      ++z.next_in;
      --z.avail_in;
    }
    if (z.avail_in >= 2 || (z.avail_in == 1 && inputEnd_)) break;
    if (!Fill() && z.avail_in == 0) {
      if (!stream_->memberSeen) stop_ = GzipStop::kDamaged;
      return false;
    }
  }
  if (z.avail_in >= 2 && z.next_in[0] == 0x1f && z.next_in[1] == 0x8b) {
    if (stream_->memberSeen) inflateReset(&z);
    stream_->memberSeen = true;
    stream_->betweenMembers = false;
    return true;
  }
  if (!stream_->memberSeen) stop_ = GzipStop::kDamaged;
  trailing_ += z.avail_in;
  z.avail_in = 0;
  while (Fill()) {
    trailing_ += z.avail_in;
    z.avail_in = 0;
  }
  return false;
}

size_t GzipFile::Read(char* data, size_t size) {
  z_stream& z = stream_->z;
  size_t got = 0;
  while (got < size && !done_) {
    if (stream_->betweenMembers) {
      if (!NextMember()) done_ = true;
      continue;
    }
    if (z.avail_in == 0 && !inputEnd_) Fill();
    z.next_out = reinterpret_cast<unsigned char*>(data + got);
    z.avail_out = static_cast<uInt>(size - got);
    int code = inflate(&z, Z_NO_FLUSH);
    size_t made = size - got - z.avail_out;
    got += made;
    expanded_ += made;
    if (expanded_ > (consumed_ + kRatioSlack) * maxRatio_) {
      stop_ = GzipStop::kTooLarge;
      done_ = true;
    } else if (code == Z_STREAM_END) {
      stream_->betweenMembers = true;
    } else if (code == Z_BUF_ERROR && inputEnd_ && z.avail_in == 0) {
      if (!readFailed_) stop_ = GzipStop::kTruncated;
      done_ = true;
    } else if (code != Z_OK && code != Z_BUF_ERROR) {
      stop_ = GzipStop::kDamaged;
      done_ = true;
    }
  }
  return got;
}

bool GzipFile::Seek(uint64_t offset) {
  if (offset != 0 || !stream_->ready || !compressed_->Seek(0)) return false;
  inflateReset(&stream_->z);
  stream_->z.avail_in = 0;
  stream_->betweenMembers = true;
  stream_->memberSeen = false;
  consumed_ = expanded_ = trailing_ = 0;
  stop_ = GzipStop::kNone;
  readFailed_ = inputEnd_ = done_ = false;
  return true;
}

bool GzipFile::Close() {
  done_ = true;
  return compressed_->Close();
}

std::string_view CompressionOfName(std::string_view name) {
  for (std::string_view kind : {"gz", "xz", "bz2", "zst", "Z", "lz4", "lzma"}) {
    if (name.size() > kind.size() + 1 && name.ends_with(kind) &&
        name[name.size() - kind.size() - 1] == '.') {
      return kind;
    }
  }
  return {};
}

}  // namespace zentrak
