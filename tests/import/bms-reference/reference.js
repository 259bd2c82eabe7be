// Test set-up only: reads a chart with an independent BMS parser and prints
// every sounding note as "<frame time, fractional> <sound ID>", one a line.
// Usage: node reference.js CHART RATE (with NODE_PATH naming the parser's
// node_modules folder).
'use strict'
const fs = require('fs')
const bms = require('bms')

const [chartPath, rateText] = process.argv.slice(2)
const rate = Number(rateText)
const text = fs.readFileSync(chartPath, 'latin1')
const chart = bms.Compiler.compile(text).chart
const timing = bms.Timing.fromBMSChart(chart)
const lines = []
for (const note of bms.Notes.fromBMSChart(chart).all()) {
  const frames = timing.beatToSeconds(note.beat) * rate
  lines.push(frames.toFixed(6) + ' ' + parseInt(note.keysound, 36))
}
process.stdout.write(lines.join('\n') + '\n')
