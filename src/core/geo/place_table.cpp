#include "geo/place_table.h"

#include <algorithm>
#include <map>

namespace tw {
namespace {

std::uint64_t AddressKey(const LogRecord& record) {
  return (std::uint64_t{record.IsIpv6} << 32) | record.ClientIp;
}

std::string CityLabelOf(const GeoPlace& place) {
  return place.City.empty() ? place.Country : place.City + ", " + place.Country;
}

// Keys 1.. for the distinct labels in byte order; `labels` gets [0] empty.
std::vector<std::uint32_t> RankByLabel(const std::vector<std::string>& label_of_place,
                                       std::vector<std::string>* labels) {
  std::map<std::string, std::uint32_t> keys;
  for (std::size_t i = 1; i < label_of_place.size(); ++i) keys.emplace(label_of_place[i], 0);
  labels->assign(1, std::string());
  for (auto& [label, key] : keys) {
    key = static_cast<std::uint32_t>(labels->size());
    labels->push_back(label);
  }
  std::vector<std::uint32_t> key_of_place(label_of_place.size(), 0);
  for (std::size_t i = 1; i < label_of_place.size(); ++i) key_of_place[i] = keys[label_of_place[i]];
  return key_of_place;
}

bool FindLabel(const std::vector<std::string>& labels, std::string_view label,
               std::uint32_t* key) {
  if (labels.size() <= 1) return false;
  const auto found = std::lower_bound(labels.begin() + 1, labels.end(), label,
                                      [](const std::string& a, std::string_view b) { return a < b; });
  if (found == labels.end() || *found != label) return false;
  *key = static_cast<std::uint32_t>(found - labels.begin());
  return true;
}

}  // namespace

GeoTable::GeoTable(const GeoSource* source, const RecordArray& records,
                   const Ipv6AddressTable* ipv6)
    : place_of_address_(1024, AddressSlot{kNoAddress, 0}), places_(1) {
  for (std::int32_t i = 0; i < records.Count(); ++i) {
    const LogRecord& record = *records[i];
    const std::uint64_t key = AddressKey(record);
    std::size_t slot = SlotOf(key);
    if (place_of_address_[slot].address == key) continue;  // looked up before
    if ((addresses_ + 1) * 2 > place_of_address_.size()) {
      GrowAddresses();
      slot = SlotOf(key);
    }
    place_of_address_[slot] = AddressSlot{key, 0};
    ++addresses_;
    if (source == nullptr) continue;
    ClientAddress address;
    if (record.IsIpv6) {
      if (ipv6 == nullptr || record.ClientIp >= ipv6->Count()) continue;
      address.IsIpv6 = true;
      address.Ipv6 = ipv6->At(record.ClientIp);
    } else {
      if (record.ClientIp == 0) continue;  // a host name: no address to look up
      address.Ipv4 = record.ClientIp;
    }
    GeoPlace place;
    if (source->Lookup(address, &place)) place_of_address_[slot].place = AddPlace(place);
  }
  RankLabels();
}

std::size_t GeoTable::SlotOf(std::uint64_t address) const {
  // The finaliser of MurmurHash3 spreads neighbouring addresses apart.
  std::uint64_t h = address;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  const std::size_t mask = place_of_address_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h) & mask;
  while (place_of_address_[i].address != address && place_of_address_[i].address != kNoAddress) {
    i = (i + 1) & mask;
  }
  return i;
}

void GeoTable::GrowAddresses() {
  std::vector<AddressSlot> old(place_of_address_.size() * 2, AddressSlot{kNoAddress, 0});
  old.swap(place_of_address_);
  for (const AddressSlot& slot : old) {
    if (slot.address != kNoAddress) place_of_address_[SlotOf(slot.address)] = slot;
  }
}

std::uint32_t GeoTable::AddPlace(const GeoPlace& place) {
  const std::string name = place.CountryCode + '\n' + place.Country + '\n' + place.City;
  const auto [entry, added] =
      place_of_name_.emplace(name, static_cast<std::uint32_t>(places_.size()));
  if (added) places_.push_back(place);
  return entry->second;
}

void GeoTable::RankLabels() {
  std::vector<std::string> countries(places_.size()), cities(places_.size());
  for (std::size_t i = 1; i < places_.size(); ++i) {
    countries[i] = places_[i].Country;
    cities[i] = CityLabelOf(places_[i]);
  }
  country_key_ = RankByLabel(countries, &country_labels_);
  city_key_ = RankByLabel(cities, &city_labels_);
  place_of_name_.clear();  // needed only while building
}

std::uint32_t GeoTable::PlaceOf(const LogRecord& record) const {
  const AddressSlot& slot = place_of_address_[SlotOf(AddressKey(record))];
  return slot.address != kNoAddress ? slot.place : 0;
}

std::uint32_t GeoTable::CountryKey(const LogRecord& record) const {
  return country_key_[PlaceOf(record)];
}
std::uint32_t GeoTable::CityKey(const LogRecord& record) const { return city_key_[PlaceOf(record)]; }

const std::string& GeoTable::CountryLabel(std::uint32_t key) const {
  return key < country_labels_.size() ? country_labels_[key] : country_labels_[0];
}
const std::string& GeoTable::CityLabel(std::uint32_t key) const {
  return key < city_labels_.size() ? city_labels_[key] : city_labels_[0];
}

bool GeoTable::FindCountry(std::string_view label, std::uint32_t* key) const {
  return FindLabel(country_labels_, label, key);
}
bool GeoTable::FindCity(std::string_view label, std::uint32_t* key) const {
  return FindLabel(city_labels_, label, key);
}

}  // namespace tw
