// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnosis, not a test: runs Lighthouse and prints the simulated FCP and LCP
// graphs (which requests and main-thread tasks each waits for, and when).
// Usage: node lantern-graph.mjs [runs]
import { chromium } from '@playwright/test';
import lighthouse from 'lighthouse';
import { LanternFirstContentfulPaint } from 'lighthouse/core/computed/metrics/lantern-first-contentful-paint.js';
import { LanternLargestContentfulPaint } from 'lighthouse/core/computed/metrics/lantern-largest-contentful-paint.js';
import { freePort, launchOptions, startServer } from './support/browser.mjs';
const server = await startServer();
const port = await freePort();
const b = await chromium.launch({ ...launchOptions, args: [...launchOptions.args, `--remote-debugging-port=${port}`] });
const n = Number(process.argv[2] ?? 2);
const show = (est, t0) => {
  const rows = [...est.nodeTimings.entries()].sort((a, b) => a[1].startTime - b[1].startTime);
  for (const [node, t] of rows) {
    const what = node.type === 'network' ? `NET ${node.request.url.replace(server.origin, '')} ${node.request.priority} conn=${node.request.connectionId}` : `CPU ${((node.endTime-node.startTime)/1000).toFixed(1)}ms obs@${((node.startTime - t0)/1000).toFixed(0)} ${[...new Set(node.childEvents.map(e=>e.name))].filter(n=>!n.includes("Tracking")).join(',')}`;
    console.log(`     ${t.startTime.toFixed(0).padStart(5)}-${t.endTime.toFixed(0).padStart(5)} ${what}`);
  }
};
for (let i = 0; i < n; ++i) {
  const r = await lighthouse(`${server.origin}/index.html`, { port, output: 'json', logLevel: 'error', onlyCategories: ['performance'] });
  const a = r.artifacts;
  const data = { trace: a.Trace, devtoolsLog: a.DevtoolsLog, gatherContext: a.GatherContext, settings: r.lhr.configSettings, URL: a.URL, SourceMaps: a.SourceMaps, simulator: null };
  const ctx = { computedCache: new Map() };
  for (const [name, M] of [['FCP', LanternFirstContentfulPaint], ['LCP', LanternLargestContentfulPaint]]) {
    const res = await M.request(data, ctx);
    if (res.timing < 900) { console.log(`${name} ok ${res.timing.toFixed(0)}`); continue; }
    console.log(`${name} timing ${res.timing.toFixed(0)} opt ${res.optimisticEstimate.timeInMs.toFixed(0)} pess ${res.pessimisticEstimate.timeInMs.toFixed(0)}`);
    const t0 = a.Trace.traceEvents.find(e => e.name === 'navigationStart')?.ts ?? 0;
    console.log('  optimistic'); show(res.optimisticEstimate, t0);
    console.log('  pessimistic'); show(res.pessimisticEstimate, t0);
  }
}
await b.close(); await server.stop();
