#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zr410 {

// A column of decimal values kept no wider than they were written. Readings of a controller
// carry one or two decimals and four or five digits, so a value is kept as an integer count of
// 10^-decimals in 16 bits: a file of ten million records then takes a quarter of the memory its
// doubles would. A value that does not fit (too large, more decimals) is kept exactly beside
// the column, and a column with many such values is kept as doubles instead.
//
// Reading a value gives the same double as parsing its text: an exact integer divided by an
// exact power of ten rounds once, whichever way the digits were split.
class ValueColumn {
public:
    static constexpr int kMaxDecimals = 4;
    // Marks a packed value that is kept among the outliers.
    static constexpr std::int16_t kOutlier = INT16_MIN;

    // Doubles, until setDecimals() packs the (still empty) column.
    ValueColumn() = default;
    explicit ValueColumn(int decimals) { setDecimals(decimals); }

    // 10^decimals, for decimals up to 6 (what a plain number in a data file may carry).
    static constexpr std::int64_t Scale(int decimals) {
        std::int64_t scale = 1;
        for (int i = 0; i < decimals; ++i) {
            scale *= 10;
        }
        return scale;
    }

    // Packs an empty column with the given decimals (clamped to 0..kMaxDecimals); a negative
    // count keeps doubles.
    void setDecimals(int decimals);
    bool packed() const { return decimals_ >= 0; }
    int decimals() const { return decimals_; }

    std::size_t size() const { return packed() ? raw_.size() : doubles_.size(); }
    bool empty() const { return size() == 0; }
    void reserve(std::size_t count);
    void clear();

    double operator[](std::size_t i) const {
        if (packed()) {
            const std::int16_t r = raw_[i];
            return r != kOutlier ? static_cast<double>(r) / divisor_ : outlier(i);
        }
        return doubles_[i];
    }

    // Appends a value; packed when it is exactly a count of the column's decimals in range.
    void push_back(double value);
    // Appends the integer part of `mantissa` * 10^-fractionDigits without rounding through a
    // double when it fits; the reader's fast path.
    void appendDecimal(std::int64_t mantissa, int fractionDigits) {
        // Called for every field of a file: the usual case stays inline.
        if (fractionDigits <= decimals_ && mantissa >= -kLargest && mantissa <= kLargest) {
            const std::int64_t scaled = mantissa * kScales[decimals_ - fractionDigits];
            if (scaled >= -kLargest && scaled <= kLargest) {
                raw_.push_back(static_cast<std::int16_t>(scaled));
                return;
            }
        }
        appendUnpacked(mantissa, fractionDigits);
    }
    void append(const ValueColumn& more);
    void assign(std::size_t count, double value);
    std::vector<double> toVector() const;

    // Lowest, highest and sum of the values [first, last), read as the integers they are kept
    // as where they can be: a pass over ten million values takes milliseconds.
    struct Span {
        double low = 0.0;
        double high = 0.0;
        double sum = 0.0;
    };
    Span span(std::size_t first, std::size_t last) const;

    // For loops that work on the packed integers: the integers (kOutlier where an outlier
    // stands), the divisor, and whether any outlier stands among them.
    const std::int16_t* raw() const { return raw_.data(); }
    double divisor() const { return divisor_; }
    bool hasOutliers() const { return !outliers_.empty(); }
    const double* doubles() const { return doubles_.data(); }

    // Keeps doubles from now on, when outliers have become common enough to cost more memory
    // than doubles would. Called by the writers after a batch of appends.
    void settle();

private:
    static constexpr std::int64_t kLargest = 32767;
    static constexpr std::int64_t kScales[kMaxDecimals + 1] = {1, 10, 100, 1000, 10000};
    void appendUnpacked(std::int64_t mantissa, int fractionDigits);
    double outlier(std::size_t i) const;
    void addOutlier(double value);
    void widen();

    std::vector<std::int16_t> raw_;
    std::vector<double> doubles_;
    // Sorted by index: values of a packed column that are no count of its decimals in range.
    std::vector<std::pair<std::uint64_t, double>> outliers_;
    int decimals_ = -1;
    double divisor_ = 1.0;
};

}  // namespace zr410
