#include "gui/MinMaxEnvelope.h"

#include <algorithm>
#include <cmath>

void appendMinMaxEnvelope(int count, int buckets, const std::function<QPointF(int)>& sample,
                          QList<QPointF>& out) {
  if (count <= 0) return;
  buckets = std::max(buckets, 1);
  const int perBucket = (count + buckets - 1) / buckets;
  for (int begin = 0; begin < count; begin += perBucket) {
    const int end = std::min(begin + perBucket, count);
    bool any = false;
    QPointF low, high;
    for (int i = begin; i < end; ++i) {
      const QPointF p = sample(i);
      if (!std::isfinite(p.x()) || !std::isfinite(p.y())) continue;
      if (!any || p.y() < low.y()) low = p;
      if (!any || p.y() > high.y()) high = p;
      any = true;
    }
    if (!any) continue;
    if (low.x() == high.x() && low.y() == high.y()) {
      out.append(low);
    } else if (low.x() <= high.x()) {
      out.append(low);
      out.append(high);
    } else {
      out.append(high);
      out.append(low);
    }
  }
}
