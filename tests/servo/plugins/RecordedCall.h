// What the recording test plug-in remembers of each entry-point call.
#pragma once

struct RecordedCall {
  char name[32];  // the entry point's exported name
  int dof;
  float curTime;
  float kp0, kv0;  // first gain of state.kp / state.kv, 0 when empty
  int kpSize;
  float qd[6];  // goal joint positions as the plug-in saw them
  int qdSize;
  float dqdMagnitudeSquared;
  float xd[7];
  int xdSize;
  float dxdMagnitudeSquared;
  int elbow;
};

// Exported besides the 51 entry points (C linkage), resolved by the tests:
//   const RecordedCall* recordedCalls(int* count);
//   void clearRecordedCalls();
//   void setTickTorque(float value);  // every tick function fills tau with it
