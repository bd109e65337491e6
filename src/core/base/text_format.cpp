#include "base/text_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tw {

std::uint64_t FormatArg::Magnitude() const {
  if (IsNegative()) return std::uint64_t{0} - bits_;  // also right for the most negative value
  return bits_;
}

std::uint64_t FormatArg::UnsignedBits() const {
  if (unsigned_ || width_ >= 64) return bits_;
  return bits_ & ((std::uint64_t{1} << width_) - 1);
}

namespace {

// Every double's exact decimal expansion ends within 1074 fractional digits and
// holds at most 767 significant digits, so digits asked for beyond this many
// are zeros: they are counted, not computed.
constexpr std::size_t kMaxFloatDigits = 1100;
// Largest fixed form: sign, 309 integer digits, point, kMaxFloatDigits digits.
constexpr std::size_t kFloatBuffer = kMaxFloatDigits + 400;
// Widths and precisions saturate here; anything larger pads past the limit anyway.
constexpr std::size_t kMaxNumber = 1'000'000'000;

// The result under construction; everything past kFormatLimit is dropped.
class Output {
 public:
  void Put(std::string_view s) {
    const std::size_t n = std::min(s.size(), Room());
    text_.append(s.data(), n);
    if (n < s.size()) cut_ = true;
  }
  void Fill(char c, std::size_t count) {
    const std::size_t n = std::min(count, Room());
    text_.append(n, c);
    if (n < count) cut_ = true;
  }
  bool cut() const { return cut_; }
  std::string& text() { return text_; }

 private:
  std::size_t Room() const { return kFormatLimit - text_.size(); }

  std::string text_;
  bool cut_ = false;
};

struct Directive {
  bool left = false;   // '-'
  bool plus = false;   // '+'
  bool space = false;  // ' '
  bool alt = false;    // '#'
  bool zero = false;   // '0'
  std::size_t width = 0;
  bool has_precision = false;
  std::size_t precision = 0;
  int stars = 0;  // '*' in place of the width or the precision
  char conv = 0;
};

// A converted field: prefix (sign, "0x"), lead_zeros, then body with mid_zeros
// inserted at mid_at. Padding goes before the prefix, between the prefix and
// the zeros ('0' flag) or after everything ('-' flag).
struct Field {
  std::string_view prefix;
  std::size_t lead_zeros = 0;
  std::string_view body;
  std::size_t mid_zeros = 0;
  std::size_t mid_at = 0;
  bool zero_pad = false;
};

void Emit(Output& out, const Directive& dir, const Field& f) {
  const std::size_t length = f.prefix.size() + f.lead_zeros + f.body.size() + f.mid_zeros;
  const std::size_t pad = dir.width > length ? dir.width - length : 0;
  if (!dir.left && !f.zero_pad) out.Fill(' ', pad);
  out.Put(f.prefix);
  if (!dir.left && f.zero_pad) out.Fill('0', pad);
  out.Fill('0', f.lead_zeros);
  out.Put(f.body.substr(0, f.mid_at));
  out.Fill('0', f.mid_zeros);
  out.Put(f.body.substr(f.mid_at));
  if (dir.left) out.Fill(' ', pad);
}

bool IsIntegerConv(char c) { return std::strchr("diouxX", c) != nullptr; }
bool IsFloatConv(char c) { return std::strchr("fFeEgGaA", c) != nullptr; }
bool IsKnownConv(char c) { return c != 0 && std::strchr("diouxXcsfFeEgGaAnp", c) != nullptr; }

bool Fits(char conv, const FormatArg& arg) {
  using K = FormatArg::Kind;
  const K k = arg.kind();
  if (IsIntegerConv(conv) || conv == 'c') return k == K::kInteger || k == K::kCharacter;
  if (conv == 's') return k == K::kText;
  if (IsFloatConv(conv)) return k == K::kFloating;
  return false;  // %n, %p
}

std::string_view SignPrefix(const Directive& dir, bool negative) {
  if (negative) return "-";
  if (dir.plus) return "+";
  if (dir.space) return " ";
  return "";
}

void UpperInPlace(char* first, char* last) {
  for (char* p = first; p != last; ++p) {
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  }
}

void FormatInteger(Output& out, const Directive& dir, const FormatArg& arg) {
  const char conv = dir.conv;
  const bool is_signed = conv == 'd' || conv == 'i';
  const bool negative = is_signed && arg.IsNegative();
  const std::uint64_t value = is_signed ? arg.Magnitude() : arg.UnsignedBits();
  const int base = conv == 'o' ? 8 : (conv == 'x' || conv == 'X') ? 16 : 10;

  char digits[32];
  char* end = digits;
  if (!(dir.has_precision && dir.precision == 0 && value == 0)) {
    end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
  }
  if (conv == 'X') UpperInPlace(digits, end);
  const std::size_t count = static_cast<std::size_t>(end - digits);

  Field f;
  f.body = std::string_view(digits, count);
  f.mid_at = count;
  f.lead_zeros = dir.has_precision && dir.precision > count ? dir.precision - count : 0;
  if (is_signed) {
    f.prefix = SignPrefix(dir, negative);
  } else if (dir.alt && conv == 'o') {
    if (f.lead_zeros == 0 && (count == 0 || digits[0] != '0')) f.lead_zeros = 1;
  } else if (dir.alt && value != 0 && (conv == 'x' || conv == 'X')) {
    f.prefix = conv == 'x' ? "0x" : "0X";
  }
  f.zero_pad = dir.zero && !dir.has_precision;
  Emit(out, dir, f);
}

// Inserts `c` at `at` of the text in buf[0, *length).
void InsertChar(char* buf, std::size_t* length, std::size_t at, char c) {
  std::memmove(buf + at + 1, buf + at, *length - at);
  buf[at] = c;
  ++*length;
}

// Position of the exponent mark ('e' or 'p'), or `length` when there is none.
std::size_t ExponentAt(const char* buf, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (buf[i] == 'e' || buf[i] == 'p') return i;
  }
  return length;
}

void FormatFloating(Output& out, const Directive& dir, double v) {
  const bool negative = std::signbit(v);
  const double a = std::fabs(v);
  const char conv = static_cast<char>(dir.conv | 0x20);  // lower case
  const bool upper = dir.conv != conv;

  Field f;
  f.prefix = SignPrefix(dir, negative);
  if (!std::isfinite(a)) {
    f.body = std::isnan(a) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
    f.mid_at = 3;
    Emit(out, dir, f);  // never zero-padded
    return;
  }

  char buf[kFloatBuffer];
  char* const limit = buf + sizeof buf - 2;  // room for an inserted '.'
  const std::size_t asked = dir.has_precision ? dir.precision : 6;
  const std::size_t digits = std::min(asked, kMaxFloatDigits);
  std::size_t extra = asked - digits;  // zeros beyond the computed digits
  std::size_t length = 0;
  std::size_t mid_at = 0;  // where the extra zeros go

  if (conv == 'f') {
    length =
        std::to_chars(buf, limit, a, std::chars_format::fixed, static_cast<int>(digits)).ptr - buf;
    if (dir.alt && asked == 0) buf[length++] = '.';
    mid_at = length;
  } else if (conv == 'e') {
    length =
        std::to_chars(buf, limit, a, std::chars_format::scientific, static_cast<int>(digits)).ptr -
        buf;
    mid_at = ExponentAt(buf, length);
    if (dir.alt && asked == 0) InsertChar(buf, &length, mid_at++, '.');
  } else if (conv == 'g') {
    // P significant digits; style e when the exponent X is below -4 or not
    // below P, otherwise style f with P - 1 - X decimals.
    const std::size_t p = asked == 0 ? 1 : asked;
    const std::size_t pc = std::min(p, kMaxFloatDigits);
    extra = p - pc;
    length =
        std::to_chars(buf, limit, a, std::chars_format::scientific, static_cast<int>(pc - 1)).ptr -
        buf;
    const std::size_t e_at = ExponentAt(buf, length);
    int x = 0;
    std::from_chars(buf + e_at + (buf[e_at + 1] == '+' ? 2 : 1), buf + length, x);
    if (x >= -4 && static_cast<long long>(p) > x) {
      const int decimals = static_cast<int>(pc) - 1 - x;
      length = std::to_chars(buf, limit, a, std::chars_format::fixed, decimals).ptr - buf;
      mid_at = length;
    } else {
      mid_at = e_at;
    }
    const bool has_point = std::memchr(buf, '.', mid_at) != nullptr;
    if (!dir.alt) {
      extra = 0;
      if (has_point) {
        std::size_t keep = mid_at;
        while (buf[keep - 1] == '0') --keep;
        if (buf[keep - 1] == '.') --keep;
        std::memmove(buf + keep, buf + mid_at, length - mid_at);
        length -= mid_at - keep;
        mid_at = keep;
      }
    } else if (!has_point) {
      InsertChar(buf, &length, mid_at++, '.');
    }
  } else {  // 'a'
    const auto r = dir.has_precision ? std::to_chars(buf, limit, a, std::chars_format::hex,
                                                     static_cast<int>(digits))
                                     : std::to_chars(buf, limit, a, std::chars_format::hex);
    length = r.ptr - buf;
    mid_at = ExponentAt(buf, length);
    if (dir.alt && std::memchr(buf, '.', mid_at) == nullptr)
      InsertChar(buf, &length, mid_at++, '.');
  }

  std::string prefix(f.prefix);
  if (conv == 'a') prefix += "0x";
  if (upper) {
    UpperInPlace(buf, buf + length);
    UpperInPlace(prefix.data(), prefix.data() + prefix.size());
  }
  f.prefix = prefix;
  f.body = std::string_view(buf, length);
  f.mid_zeros = extra;
  f.mid_at = mid_at;
  f.zero_pad = dir.zero;
  Emit(out, dir, f);
}

void FormatOne(Output& out, const Directive& dir, const FormatArg& arg) {
  Field f;
  switch (dir.conv) {
    case 'c': {
      const char c = static_cast<char>(arg.UnsignedBits() & 0xFF);
      f.body = std::string_view(&c, 1);
      f.mid_at = 1;
      Emit(out, dir, f);
      return;
    }
    case 's': {
      std::string_view text = arg.text();
      text = text.substr(0, text.find('\0'));
      if (dir.has_precision) text = text.substr(0, dir.precision);
      f.body = text;
      f.mid_at = text.size();
      Emit(out, dir, f);
      return;
    }
    default:
      if (IsIntegerConv(dir.conv)) {
        FormatInteger(out, dir, arg);
      } else {
        FormatFloating(out, dir, arg.floating());
      }
  }
}

std::size_t ReadNumber(std::string_view f, std::size_t* i) {
  std::uint64_t v = 0;
  while (*i < f.size() && f[*i] >= '0' && f[*i] <= '9') {
    v = std::min<std::uint64_t>(v * 10 + static_cast<unsigned>(f[*i] - '0'), kMaxNumber);
    ++*i;
  }
  return static_cast<std::size_t>(v);
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args,
                       FormatCheck* check) {
  return FormatText(format, std::span<const FormatArg>(args.begin(), args.size()), check);
}

std::string FormatText(std::string_view format, std::span<const FormatArg> args,
                       FormatCheck* check) {
  const std::string_view f = format.substr(0, format.find('\0'));
  Output out;
  FormatCheck found;
  std::size_t next = 0;  // next argument
  std::size_t i = 0;
  while (i < f.size()) {
    if (f[i] != '%') {
      const std::size_t pct = std::min(f.find('%', i), f.size());
      out.Put(f.substr(i, pct - i));
      i = pct;
      continue;
    }
    const std::size_t start = i++;
    if (i == f.size()) {  // a '%' at the very end
      out.Put("%");
      break;
    }
    if (f[i] == '%') {
      out.Put("%");
      ++i;
      continue;
    }

    Directive dir;
    for (; i < f.size(); ++i) {
      const char c = f[i];
      if (c == '-')
        dir.left = true;
      else if (c == '+')
        dir.plus = true;
      else if (c == ' ')
        dir.space = true;
      else if (c == '#')
        dir.alt = true;
      else if (c == '0')
        dir.zero = true;
      else
        break;
    }
    if (i < f.size() && f[i] == '*') {
      ++dir.stars;
      ++i;
    } else {
      dir.width = ReadNumber(f, &i);
    }
    if (i < f.size() && f[i] == '.') {
      ++i;
      dir.has_precision = true;
      if (i < f.size() && f[i] == '*') {
        ++dir.stars;
        ++i;
      } else {
        dir.precision = ReadNumber(f, &i);
      }
    }
    if (i < f.size() && (f[i] == 'h' || f[i] == 'l')) {
      const char m = f[i++];
      if (i < f.size() && f[i] == m) ++i;
    } else if (i < f.size() && std::strchr("jztL", f[i]) != nullptr) {
      ++i;
    }

    if (i == f.size() || !IsKnownConv(f[i])) {
      // Not a conversion: copy what was read and go on at the character that stopped it.
      out.Put(f.substr(start, i - start));
      ++found.mismatched;
      continue;
    }
    dir.conv = f[i++];
    const std::string_view as_written = f.substr(start, i - start);

    // Consume what printf would: one argument per '*', then the value.
    const std::size_t wanted = static_cast<std::size_t>(dir.stars) + 1;
    const FormatArg* arg = nullptr;
    if (args.size() - next >= wanted) {
      arg = &args[next + wanted - 1];
      next += wanted;
    } else {
      next = args.size();
    }
    if (arg == nullptr || dir.stars != 0 || !Fits(dir.conv, *arg)) {
      out.Put(as_written);
      ++found.mismatched;
      continue;
    }
    FormatOne(out, dir, *arg);
  }

  std::string result = std::move(out.text());
  const std::size_t nul = result.find('\0');
  if (nul != std::string::npos) result.resize(nul);
  found.args_used = next;
  found.cut = out.cut();
  if (check != nullptr) *check = found;
  return result;
}

}  // namespace tw
