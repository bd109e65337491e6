#include "geo/mmdb_database.h"

#include <arpa/inet.h>
#include <maxminddb.h>
#include <netinet/in.h>

#include <cstring>
#include <ctime>
#include <string>

#include "base/utf8.h"
#include "geo/legacy_database.h"

namespace tw {
namespace {

// The UTF-8 text at the path under `entry`, kept as it is (a damaged one read
// as Windows-1251, base/utf8.h); empty when absent or not a text.
template <typename... Keys>
std::string TextAt(MMDB_entry_s entry, Keys... keys) {
  MMDB_entry_data_s data{};
  if (MMDB_get_value(&entry, &data, keys..., static_cast<const char*>(nullptr)) != MMDB_SUCCESS ||
      !data.has_data || data.type != MMDB_DATA_TYPE_UTF8_STRING) {
    return {};
  }
  return AsUtf8(std::string_view(data.utf8_string, data.data_size));
}

std::string FirstOf(std::string a, std::string b) { return a.empty() ? b : a; }

std::string DateOfEpoch(std::uint64_t epoch) {
  const std::time_t time = static_cast<std::time_t>(epoch);
  std::tm parts{};
  char text[16] = "";
  if (gmtime_r(&time, &parts) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
  return text;
}

class MmdbSource : public GeoSource {
 public:
  MmdbSource(const MMDB_s& db, bool city_file) : db_(db), path_(db.filename) {
    const char* type = db_.metadata.database_type;
    type_ = type != nullptr ? type : "mmdb";
    has_cities_ = city_file || type_.find("City") != std::string::npos || type_.find("city") != std::string::npos;
  }
  ~MmdbSource() override { MMDB_close(&db_); }
  MmdbSource(const MmdbSource&) = delete;
  MmdbSource& operator=(const MmdbSource&) = delete;

  bool Lookup(const ClientAddress& address, GeoPlace* place) const override;
  bool HasCities() const override { return has_cities_; }
  std::string Description() const override {
    return type_ + ", " + DateOfEpoch(db_.metadata.build_epoch) + " (" + path_ + ")";
  }

 private:
  mutable MMDB_s db_;  // lookups do not change it; the library's calls take it non-const
  std::string path_;
  std::string type_;
  bool has_cities_ = false;
};

bool MmdbSource::Lookup(const ClientAddress& address, GeoPlace* place) const {
  sockaddr_in v4{};
  sockaddr_in6 v6{};
  const sockaddr* socket_address = nullptr;
  if (address.IsIpv6) {
    v6.sin6_family = AF_INET6;
    std::memcpy(v6.sin6_addr.s6_addr, address.Ipv6.data(), address.Ipv6.size());
    socket_address = reinterpret_cast<const sockaddr*>(&v6);
  } else {
    v4.sin_family = AF_INET;
    v4.sin_addr.s_addr = htonl(address.Ipv4);
    socket_address = reinterpret_cast<const sockaddr*>(&v4);
  }
  int error = MMDB_SUCCESS;
  MMDB_lookup_result_s found = MMDB_lookup_sockaddr(&db_, socket_address, &error);
  if (error != MMDB_SUCCESS || !found.found_entry) return false;

  const MMDB_entry_s entry = found.entry;
  GeoPlace result;
  result.CountryCode = FirstOf(TextAt(entry, "country", "iso_code"), TextAt(entry, "country_code"));
  if (result.CountryCode.empty()) {
    result.CountryCode = TextAt(entry, "registered_country", "iso_code");
  }
  result.Country = FirstOf(TextAt(entry, "country", "names", "en"),
                           TextAt(entry, "registered_country", "names", "en"));
  if (result.Country.empty()) result.Country = CountryNameOfCode(result.CountryCode);
  if (result.Country.empty()) result.Country = result.CountryCode;
  if (result.Country.empty()) return false;
  result.City = FirstOf(TextAt(entry, "city", "names", "en"), TextAt(entry, "city"));
  *place = std::move(result);
  return true;
}

}  // namespace

std::unique_ptr<GeoSource> OpenMmdbSource(const std::string& path, bool city_file) {
  MMDB_s db{};
  if (MMDB_open(path.c_str(), MMDB_MODE_MMAP, &db) != MMDB_SUCCESS) return nullptr;
  return std::make_unique<MmdbSource>(db, city_file);
}

}  // namespace tw
