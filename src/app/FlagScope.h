#pragma once

// Sets a flag for the lifetime of the scope and restores its earlier value.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
  ~FlagScope() { m_flag = m_before; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& m_flag;
  bool m_before;
};
