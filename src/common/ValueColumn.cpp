#include "common/ValueColumn.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zr410 {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Outliers beyond one in this many values cost more than keeping doubles would save.
constexpr size_t kOutlierShare = 16;

}  // namespace

void ValueColumn::setDecimals(int decimals) {
    clear();
    decimals_ = decimals < 0 ? -1 : std::min(decimals, kMaxDecimals);
    divisor_ = kPowersOfTen[std::max(decimals_, 0)];
}

void ValueColumn::reserve(size_t count) {
    if (packed()) {
        raw_.reserve(count);
    } else {
        doubles_.reserve(count);
    }
}

void ValueColumn::clear() {
    raw_.clear();
    doubles_.clear();
    outliers_.clear();
}

double ValueColumn::outlier(size_t i) const {
    const auto it = std::lower_bound(outliers_.begin(), outliers_.end(), i,
                                     [](const auto& kept, size_t at) { return kept.first < at; });
    return it != outliers_.end() && it->first == i ? it->second : 0.0;
}

void ValueColumn::addOutlier(double value) {
    outliers_.emplace_back(raw_.size(), value);
    raw_.push_back(kOutlier);
}

void ValueColumn::push_back(double value) {
    if (!packed()) {
        doubles_.push_back(value);
        return;
    }
    const double scaled = std::nearbyint(value * divisor_);
    if (std::fabs(scaled) <= static_cast<double>(kLargest) && scaled / divisor_ == value) {
        raw_.push_back(static_cast<std::int16_t>(scaled));
    } else {
        addOutlier(value);
    }
}

void ValueColumn::appendUnpacked(std::int64_t mantissa, int fractionDigits) {
    const double value = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
    if (packed()) {
        addOutlier(value);
    } else {
        doubles_.push_back(value);
    }
}

void ValueColumn::append(const ValueColumn& more) {
    if (packed() && more.packed() && more.decimals_ == decimals_) {
        const size_t offset = raw_.size();
        raw_.insert(raw_.end(), more.raw_.begin(), more.raw_.end());
        for (const auto& [index, value] : more.outliers_) {
            outliers_.emplace_back(index + offset, value);
        }
    } else if (!packed() && !more.packed()) {
        doubles_.insert(doubles_.end(), more.doubles_.begin(), more.doubles_.end());
    } else {
        for (size_t i = 0; i < more.size(); ++i) {
            push_back(more[i]);
        }
    }
    settle();
}

void ValueColumn::assign(size_t count, double value) {
    clear();
    reserve(count);
    for (size_t i = 0; i < count; ++i) {
        push_back(value);
    }
    settle();
}

ValueColumn::Span ValueColumn::span(size_t first, size_t last) const {
    Span result;
    last = std::min(last, size());
    if (first >= last) {
        return result;
    }
    if (!packed()) {
        result.low = result.high = doubles_[first];
        for (size_t i = first; i < last; ++i) {
            const double v = doubles_[i];
            result.low = std::min(result.low, v);
            result.high = std::max(result.high, v);
            result.sum += v;
        }
        return result;
    }
    // The marker is the lowest integer and never a value: counted apart, it is taken out.
    constexpr int kAbove = static_cast<int>(kLargest) + 1;
    int low = kAbove;
    int high = -kAbove;
    std::int64_t sum = 0;
    size_t markers = 0;
    const std::int16_t* raw = raw_.data();
    for (size_t i = first; i < last; ++i) {
        const int r = raw[i];
        markers += r == kOutlier ? 1 : 0;
        low = std::min(low, r == kOutlier ? kAbove : r);
        high = std::max(high, r);
        sum += r;
    }
    const bool any = markers < last - first;
    result.low = any ? low / divisor_ : std::numeric_limits<double>::infinity();
    result.high =
        any && high != kOutlier ? high / divisor_ : -std::numeric_limits<double>::infinity();
    result.sum =
        static_cast<double>(sum - static_cast<std::int64_t>(markers) * kOutlier) / divisor_;
    if (markers > 0) {
        const auto from =
            std::lower_bound(outliers_.begin(), outliers_.end(), first,
                             [](const auto& kept, size_t at) { return kept.first < at; });
        for (auto it = from; it != outliers_.end() && it->first < last; ++it) {
            result.low = std::min(result.low, it->second);
            result.high = std::max(result.high, it->second);
            result.sum += it->second;
        }
    }
    return result;
}

std::vector<double> ValueColumn::toVector() const {
    std::vector<double> values;
    values.reserve(size());
    for (size_t i = 0; i < size(); ++i) {
        values.push_back((*this)[i]);
    }
    return values;
}

void ValueColumn::settle() {
    if (packed() && outliers_.size() > raw_.size() / kOutlierShare) {
        widen();
    }
}

void ValueColumn::widen() {
    std::vector<double> values = toVector();
    raw_ = {};
    outliers_ = {};
    doubles_ = std::move(values);
    decimals_ = -1;
    divisor_ = 1.0;
}

}  // namespace zr410
