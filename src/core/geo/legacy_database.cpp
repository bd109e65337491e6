#include "geo/legacy_database.h"

#include <GeoIP.h>
#include <netinet/in.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/utf8.h"

namespace tw {
namespace {

struct GeoIpCloser {
  void operator()(GeoIP* db) const { GeoIP_delete(db); }
};
using GeoIpHandle = std::unique_ptr<GeoIP, GeoIpCloser>;

GeoIpHandle OpenDat(const std::string& path) {
  // Mapped, not read: every window opens the files, few ask them much. Quietly:
  // a missing file is an answer, not a message on standard error.
  GeoIpHandle db(GeoIP_open(path.c_str(), GEOIP_MMAP_CACHE | GEOIP_SILENCE));
  if (db != nullptr) GeoIP_set_charset(db.get(), GEOIP_CHARSET_UTF8);
  return db;
}

// "GEO-106FREE 20180327 Build 1 ..." -> "2018-03-27"; empty without a date.
std::string DateOfInfo(const std::string& info) {
  for (std::size_t i = 0; i + 8 <= info.size(); ++i) {
    const bool starts = i == 0 || info[i - 1] == ' ';
    const bool ends = i + 8 == info.size() || info[i + 8] == ' ';
    if (!starts || !ends) continue;
    if (info.compare(i, 8, std::string(8, '0')) == 0) continue;
    bool digits = true;
    for (std::size_t j = i; j < i + 8; ++j) digits = digits && info[j] >= '0' && info[j] <= '9';
    if (digits) return info.substr(i, 4) + "-" + info.substr(i + 4, 2) + "-" + info.substr(i + 6, 2);
  }
  return {};
}

class LegacySource : public GeoSource {
 public:
  LegacySource(GeoIpHandle v4, GeoIpHandle v6, std::string path)
      : v4_(std::move(v4)), v6_(std::move(v6)), path_(std::move(path)) {}

  bool Lookup(const ClientAddress& address, GeoPlace* place) const override {
    int id = 0;
    GeoIP* db = address.IsIpv6 ? v6_.get() : v4_.get();
    if (db == nullptr) return false;
    if (address.IsIpv6) {
      geoipv6_t bytes{};
      std::memcpy(bytes.s6_addr, address.Ipv6.data(), address.Ipv6.size());
      id = GeoIP_id_by_ipnum_v6(db, bytes);
    } else {
      id = GeoIP_id_by_ipnum(db, address.Ipv4);
    }
    if (id <= 0) return false;  // 0 is the database's "unknown"
    const char* code = GeoIP_code_by_id(id);
    const char* name = GeoIP_country_name_by_id(db, id);
    if (code == nullptr || name == nullptr) return false;
    *place = GeoPlace{code, AsUtf8(name), {}};
    return true;
  }
  bool HasCities() const override { return false; }
  std::string Description() const override;

 private:
  GeoIpHandle v4_;
  GeoIpHandle v6_;
  std::string path_;  // of GeoIP.dat
};

std::string LegacySource::Description() const {
  const unsigned char edition = GeoIP_database_edition(v4_.get());
  std::string text = edition < NUM_DB_TYPES && GeoIPDBDescription[edition] != nullptr
                         ? GeoIPDBDescription[edition]
                         : "GeoIP.dat";
  char* info = GeoIP_database_info(v4_.get());
  if (info != nullptr) {
    const std::string date = DateOfInfo(info);
    std::free(info);
    if (!date.empty()) text += ", " + date;
  }
  return text + " (" + path_ + ")";
}

std::string Latin1ToUtf8(const char* text) {
  std::string utf8;
  for (const char* c = text; *c != '\0'; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte < 0x80) {
      utf8 += static_cast<char>(byte);
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

std::unique_ptr<GeoSource> OpenLegacySource(const std::string& folder) {
  const std::string path = folder + "GeoIP.dat";
  GeoIpHandle v4 = OpenDat(path);
  if (v4 == nullptr) return nullptr;
  return std::make_unique<LegacySource>(std::move(v4), OpenDat(folder + "GeoIPv6.dat"), path);
}

std::string CountryNameOfCode(const std::string& code) {
  if (code.size() != 2) return {};
  const int id = GeoIP_id_by_code(code.c_str());
  const char* name = id > 0 ? GeoIP_name_by_id(id) : nullptr;
  // The library's own list of names is ISO-8859-1.
  return name != nullptr ? Latin1ToUtf8(name) : std::string();
}

}  // namespace tw
