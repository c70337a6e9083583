// Thins a sampled curve for drawing without losing what happened between
// the kept points: each bucket of consecutive samples is drawn as its lowest
// and its highest value, in the order they occurred. A chart a thousand
// pixels wide then shows every tick's extreme (no aliasing) with at most two
// thousand points per curve. Non-finite samples are left out.
#pragma once

#include <QList>
#include <QPointF>
#include <functional>

// The envelope of samples 0 .. count-1, whose time and value `sample`
// gives, in at most 2 * buckets points appended to `out`.
void appendMinMaxEnvelope(int count, int buckets, const std::function<QPointF(int)>& sample,
                          QList<QPointF>& out);
